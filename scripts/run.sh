#!/usr/bin/env bash
# Installs what is missing, builds Tavro and starts it with any files given.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVRO_TESTS=OFF >/dev/null
cmake --build build/release --target tavro
exec build/release/app/tavro "$@"
