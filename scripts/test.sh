#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and runs
# every test; then builds and runs everything again under AddressSanitizer
# and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
jobs=$(nproc)

cmake -S . -B build/check -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRO_WERROR=ON -DTAVRO_BENCH=ON >/dev/null
cmake --build build/check -j "$jobs"
(cd build/check && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs")
# The widget suites once more with DejaVu as the only fonts: the run above saw
# every installed font, so the tests are proven against two font setups.
for suite in view app; do
  FONTCONFIG_FILE="$PWD/scripts/fonts-dejavu-only.conf" QT_QPA_PLATFORM=offscreen \
    build/check/tests/$suite/tavro_${suite}_tests --gtest_brief=1
done

cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVRO_WERROR=ON -DTAVRO_SANITIZE=ON -DTAVRO_CORE_ONLY=OFF >/dev/null
cmake --build build/sanitize -j "$jobs"
# The Qt-free suites also check for leaks; Qt and the font libraries keep
# caches until exit that would drown real reports in the others.
for suite in engine syntax coloring; do
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 build/sanitize/tests/$suite/tavro_${suite}_tests --gtest_brief=1
done
(cd build/sanitize && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j "$jobs")
