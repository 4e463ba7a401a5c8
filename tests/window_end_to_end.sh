#!/bin/sh
# The real program in a real window: under Xvfb with an 800 x 600 screen it
# opens its titled 800 x 600 window, plays, and ends on Escape with status 0.
set -u
exe="$1"
title="(LVS) Lumivaara Zadorivora"
work=$(mktemp -d)
cleanup() {
  [ -n "${app:-}" ] && kill "$app" 2>/dev/null
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; echo "--- program stderr:"; cat "$work/err"; exit 1; }

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { cat "$work/xvfb.log"; echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=":$(cat "$work/display")"

"$exe" >"$work/out" 2>"$work/err" &
app=$!

win=""
for _ in $(seq 300); do
  win=$(xdotool search --name "Lumivaara Zadorivora" 2>/dev/null | head -n 1)
  [ -n "$win" ] && break
  kill -0 "$app" 2>/dev/null || fail "the program ended before showing its window"
  sleep 0.1
done
[ -n "$win" ] || fail "no window titled \"$title\""
[ "$(xdotool getwindowname "$win")" = "$title" ] || fail "window title"
eval "$(xdotool getwindowgeometry --shell "$win")"
[ "$WIDTH" = 800 ] && [ "$HEIGHT" = 600 ] || fail "window is ${WIDTH}x${HEIGHT}, not 800x600"

sleep 3  # let it play some frames
kill -0 "$app" 2>/dev/null || fail "the program died while playing"
xdotool windowfocus --sync "$win" 2>/dev/null
xdotool key --window "$win" Escape

for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "Escape did not end the program"
wait "$app"
status=$?
app=""
[ "$status" = 0 ] || fail "exit status $status"
echo "window opened at 800x600, played, ended on Escape with status 0"
