#!/usr/bin/env bash
# Usage: install.sh BUILD_DIR
# Installs BUILD_DIR into a temporary prefix, lists what was installed, and
# fails on a missing or unexpected file, an icon of the wrong size, or a
# complaint from the desktop entry, AppStream or manual page checkers.
set -euo pipefail
build=$1
for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/deps.sh"; exit 1; }
done
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
cd "$prefix"

sizes=(16 24 32 48 64 128 256)
expected=(bin/tavro share/applications/tavro.desktop share/icons/hicolor/scalable/apps/tavro.svg
          share/man/man1/tavro.1.gz share/metainfo/com.ostrivanteco.tavro.metainfo.xml)
for size in "${sizes[@]}"; do expected+=("share/icons/hicolor/${size}x${size}/apps/tavro.png"); done

echo "Installed under $prefix:"
find . -type f -printf '  %P (%s bytes)\n' | sort
failed=0
fail() { echo "FAIL: $*"; failed=1; }
# Exactly these files: no libraries, tests or benchmarks slip in.
diff <(printf '%s\n' "${expected[@]}" | sort) <(find . -type f -printf '%P\n' | sort) ||
  fail "the installed files differ from the expected list (< expected, > installed)"
[ -x bin/tavro ] || fail "bin/tavro is not executable"

# Each fixed-size icon really has its folder's size (PNG header: width and height at byte 16).
for size in "${sizes[@]}"; do
  png=share/icons/hicolor/${size}x${size}/apps/tavro.png
  [ -f "$png" ] || continue
  read -r w0 w1 w2 w3 h0 h1 h2 h3 < <(od -An -tu1 -j16 -N8 "$png")
  w=$(( (w0 << 24) | (w1 << 16) | (w2 << 8) | w3 )); h=$(( (h0 << 24) | (h1 << 16) | (h2 << 8) | h3 ))
  [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "$png is ${w}x${h}"
done

desktop=share/applications/tavro.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate"
grep -qx 'Exec=tavro %F' "$desktop" || fail "the desktop entry does not start the installed program"
grep -qx 'Icon=tavro' "$desktop" || fail "the desktop entry does not name the installed icon"
# validate-tree also checks that the metainfo's launchable names an installed desktop entry.
appstreamcli validate-tree --no-net "$prefix" || fail "appstreamcli validate-tree"

# The newest release in the metainfo is the version the program reports.
release=$(grep -o -m1 '<release version="[^"]*"' share/metainfo/*.metainfo.xml | cut -d'"' -f2)
version=$(bin/tavro --version)
[ "$version" = "tavro $release" ] || fail "the program says '$version', the newest release in the metainfo is $release"

if command -v groff >/dev/null; then
  warnings=$(zcat share/man/man1/tavro.1.gz | groff -man -Tutf8 -ww -z 2>&1)
  [ -z "$warnings" ] || fail "the manual page: $warnings"
fi
[ $failed = 0 ] && echo "The install tree is complete and valid."
exit $failed
