#!/bin/sh
# The demo's command line on a real display: under Xvfb with a 1024 x 768
# screen, each case starts the program, checks its window, and ends it with
# Escape, expecting status 0.
#   window_options.sh EXE windowed   --windowed --size 640x480: a 640 x 480
#                                    window, no question; F11 switches to full
#                                    screen and back
#   window_options.sh EXE fullscreen the default: full screen over the whole
#                                    screen, no question
#   window_options.sh EXE loop       --loop on a clock 200 times fast: passes
#                                    the end of the demo and plays on
set -u
exe="$1"
mode="$2"
title="(LVS) Lumivaara Zadorivora"
work=$(mktemp -d)
cleanup() {
  [ -n "${app:-}" ] && kill "$app" 2>/dev/null
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; echo "--- program stderr:"; cat "$work/err"; exit 1; }

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { cat "$work/xvfb.log"; echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=":$(cat "$work/display")"

# Waits for the titled window and sets win, WIDTH, HEIGHT, X, Y.
find_window() {
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
}

# A message box is a window of its own, titled by its caption.
no_question() {
  xdotool search --name "OPENGL" >/dev/null 2>&1 && fail "a question was asked"
  return 0
}

# Waits until the window has the size, or fails naming what it has.
expect_size() {
  for _ in $(seq 50); do
    eval "$(xdotool getwindowgeometry --shell "$win")"
    [ "$WIDTH" = "$1" ] && [ "$HEIGHT" = "$2" ] && return 0
    sleep 0.1
  done
  fail "$3: window is ${WIDTH}x${HEIGHT}, not $1x$2"
}

key() {
  xdotool windowfocus --sync "$win" 2>/dev/null
  xdotool key --window "$win" "$1"
}

case "$mode" in
  windowed) set -- --windowed --size 640x480 --mute ;;
  fullscreen) set -- --mute ;;
  loop) set -- --windowed --loop --mute; export LUMIVAARA_CLOCK_RATE=200 ;;
  *) echo "unknown case $mode"; exit 2 ;;
esac
"$exe" "$@" >"$work/out" 2>"$work/err" &
app=$!
find_window
no_question

case "$mode" in
  windowed)
    expect_size 640 480 "--windowed --size 640x480"
    key F11
    expect_size 1024 768 "after F11"
    key F11
    expect_size 640 480 "after F11 twice"
    ;;
  fullscreen)
    expect_size 1024 768 "full screen"
    [ "$X" = 0 ] && [ "$Y" = 0 ] || fail "full screen window at $X,$Y, not 0,0"
    ;;
  loop)
    # At 200 times speed the 330 s pass in under two seconds of frames.
    for _ in $(seq 600); do
      grep -q "starting again" "$work/err" && break
      kill -0 "$app" 2>/dev/null || fail "the program ended instead of starting again"
      sleep 0.1
    done
    grep -q "starting again" "$work/err" || fail "the demo did not reach its end"
    # The same process starts afresh and opens a new window.
    first=$win
    for _ in $(seq 300); do
      find_window
      [ "$win" != "$first" ] && break
      sleep 0.1
    done
    [ "$win" != "$first" ] || fail "no new window after the end"
    expect_size 800 600 "the window after starting again"
    ;;
esac

kill -0 "$app" 2>/dev/null || fail "the program ended by itself"
key Escape
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "Escape did not end the program"
wait "$app"
status=$?
app=""
[ "$status" = 0 ] || fail "exit status $status"
echo "$mode: window as expected, ended on Escape with status 0"
