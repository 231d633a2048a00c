#!/usr/bin/env bash
# BM_StartupToFirstPaint: wall time from launching tavro with a 1 MB C++ file
# to the first paint of its main window, under Xvfb; median of several runs.
#   bench/BM_StartupToFirstPaint.sh [TAVRO] [RUNS]
# TAVRO defaults to the Release build in build/bench. The program's hidden
# --first-paint-time switch prints the clock at its first paint and quits.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tavro=${1:-$root/build/bench/app/tavro}
runs=${2:-9}
[ -x "$tavro" ] || { echo "no program at $tavro (build it: cmake --build build/bench --target tavro)"; exit 1; }
command -v Xvfb >/dev/null || { echo "Xvfb is not installed"; exit 1; }

work=$(mktemp -d)
xpid=""
trap '[ -n "$xpid" ] && kill $xpid 2>/dev/null; rm -rf "$work"' EXIT

# 1 MB of C++: a function repeated, about 28,000 lines.
file="$work/big.cpp"
chunk='// Computes the checksum of one block; the table is built on first use.
static unsigned Checksum(const unsigned char* data, std::size_t size, unsigned seed)
{
    unsigned sum = seed ^ 0x5bd1e995u;
    for (std::size_t i = 0; i < size; ++i) {
        sum = (sum << 5) + sum + data[i]; /* mix in one byte */
        if ((i & 0xff) == 0)
            sum ^= sum >> 13;
    }
    return sum;
}
'
while [ "$(stat -c %s "$file" 2>/dev/null || echo 0)" -lt 1048576 ]; do printf '%s' "$chunk" >>"$file"; done
truncate -s 1048576 "$file"

disp=""
for n in $(seq 200 249); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then disp=":$n"; break; fi
done
Xvfb "$disp" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 & xpid=$!
sleep 1
mkdir -p "$work/config" "$work/runtime" && chmod 700 "$work/runtime"
export DISPLAY=$disp XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb

"$tavro" --first-paint-time "$file" >/dev/null 2>&1 || true # warm the page cache
times=()
for _ in $(seq "$runs"); do
  start=$(date +%s%N)
  painted=$("$tavro" --first-paint-time "$file" 2>/dev/null | sed -n 's/^first-paint-ns //p')
  [ -n "$painted" ] || { echo "no first paint reported"; exit 1; }
  times+=($(( (painted - start) / 1000 )))
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
median=${sorted[$(( ${#sorted[@]} / 2 ))]}
printf 'BM_StartupToFirstPaint (1 MB C++ file, %d runs): median %d.%03d ms, min %d.%03d ms, max %d.%03d ms\n' \
  "$runs" $((median / 1000)) $((median % 1000)) $((sorted[0] / 1000)) $((sorted[0] % 1000)) \
  $((sorted[-1] / 1000)) $((sorted[-1] % 1000))
