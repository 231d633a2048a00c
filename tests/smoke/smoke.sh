#!/usr/bin/env bash
# smoke.sh TAVRO: start TAVRO on a file under Xvfb, see its window, close it.
set -u
tavro=$1
# Options are checked before any display is needed.
"$tavro" --version | grep -q '3\.3\.0\.6' || { echo "smoke: --version does not name 3.3.0.6"; exit 1; }
if "$tavro" --no-such-option 2>"${TMPDIR:-/tmp}/tavro-smoke-option.$$"; then
  echo "smoke: an unknown option was accepted"; exit 1
fi
grep -q "no-such-option" "${TMPDIR:-/tmp}/tavro-smoke-option.$$" || { echo "smoke: no message names the unknown option"; exit 1; }
rm -f "${TMPDIR:-/tmp}/tavro-smoke-option.$$"

for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "smoke: $tool is not installed; skipped"; exit 77; }
done

work=$(mktemp -d)
xpid=""; tpid=""
cleanup() {
  [ -n "$tpid" ] && kill "$tpid" 2>/dev/null
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display itself and tells its number.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 & xpid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; kill -0 "$xpid" 2>/dev/null || break; sleep 0.1; done
[ -s "$work/display" ] || { echo "smoke: Xvfb did not start; skipped"; cat "$work/xvfb.log"; exit 77; }
export DISPLAY=":$(head -n 1 "$work/display")"
reachable=""
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && { reachable=1; break; }; sleep 0.1; done
# A server that took a display another one was starting on cannot be reached;
# that says nothing about the editor.
[ -n "$reachable" ] || { echo "smoke: the X server on $DISPLAY cannot be reached; skipped"; cat "$work/xvfb.log"; exit 77; }

# Private settings, so neither the user's files nor a running editor are touched.
mkdir -p "$work/config" "$work/runtime" && chmod 700 "$work/runtime"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb
file="$work/smoke-check.cpp"
printf 'int main()\n{\n    return 0;\n}\n' >"$file"

"$tavro" "$file" >"$work/tavro.log" 2>&1 & tpid=$!

# The main window's title names the active document.
win=""
for _ in $(seq 150); do
  win=$(xdotool search --name "smoke-check\.cpp" 2>/dev/null | head -n 1)
  [ -n "$win" ] && break
  kill -0 "$tpid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$win" ]; then
  echo "smoke: no window titled with the file's name appeared"
  cat "$work/tavro.log"
  exit 1
fi
echo "smoke: window $win: $(xdotool getwindowname "$win")"

# A second launch hands its file to the running program and ends at once.
second="$work/handed-over.txt"
printf 'second\n' >"$second"
timeout 20 "$tavro" "$second" >"$work/second.log" 2>&1
rc=$?
if [ "$rc" -ne 0 ]; then
  echo "smoke: the second launch ended with status $rc"
  cat "$work/second.log"
  exit 1
fi
found=""
for _ in $(seq 100); do
  found=$(xdotool search --name "handed-over\.txt" 2>/dev/null | head -n 1)
  [ -n "$found" ] && break
  sleep 0.1
done
if [ -z "$found" ]; then
  echo "smoke: the running program did not show the handed-over file"
  exit 1
fi
echo "smoke: second launch handed its file over"
win=$found

# File > Exit from the keyboard: the same path a user takes.
for _ in $(seq 5); do
  xdotool windowfocus --sync "$win" 2>/dev/null
  xdotool key --clearmodifiers alt+f 2>/dev/null
  sleep 0.3
  xdotool key x 2>/dev/null
  for _ in $(seq 20); do kill -0 "$tpid" 2>/dev/null || break 2; sleep 0.1; done
done
if kill -0 "$tpid" 2>/dev/null; then
  echo "smoke: the program did not exit after File > Exit"
  cat "$work/tavro.log"
  exit 1
fi
wait "$tpid"; rc=$?; tpid=""
if [ "$rc" -ne 0 ]; then
  echo "smoke: exit status $rc"
  cat "$work/tavro.log"
  exit 1
fi
echo "smoke: clean exit"
