#!/bin/sh
# SIGINT and SIGTERM end the demo within seconds in each state, with the
# shell's status for the signal (130, 143) and no process of its left
# running; with no display at all it says so and ends with status 1.
#   window_signals.sh EXE
set -u
exe="$1"
screen=1024x768
. "$(dirname "$0")/xvfb_session.sh"

# True while process $1 runs (a zombie has ended).
running() {
  state=$(ps -o stat= -p "$1" 2>/dev/null)
  [ -n "$state" ] && [ "${state#Z}" = "$state" ]
}

# Sends signal $1 to the program; it must end within 5 s with status $2.
stop_with() {
  kill -s "$1" "$app"
  wait_for_end 5
  [ "$status" = "$2" ] || fail "SIG$1 $3: status $status, not $2"
}

# The question, for a mode the screen lacks. Where the X server has no fonts
# for SDL's own box, SDL asks through zenity: this one stands for a box the
# viewer leaves unanswered, and says where it runs.
mkdir "$work/bin"
printf '#!/bin/sh\necho $$ >"%s"\nexec sleep 600\n' "$work/zenity.pid" >"$work/bin/zenity"
chmod +x "$work/bin/zenity"
PATH="$work/bin:$PATH" "$exe" --mode 640x480 --mute >"$work/out" 2>"$work/err" &
app=$!
for _ in $(seq 300); do
  [ -s "$work/zenity.pid" ] && break
  xdotool search --name "^OPENGL$" >/dev/null 2>&1 && break
  kill -0 "$app" 2>/dev/null || fail "the program ended instead of asking"
  sleep 0.1
done
helpers=$(ps -o pid= --ppid "$app")
[ -n "$helpers" ] || fail "no question shown"
stop_with TERM 143 "while asking"
for pid in $helpers $(cat "$work/zenity.pid" 2>/dev/null); do
  running "$pid" && fail "process $pid of the question still runs"
done
xdotool search --name "^OPENGL$" >/dev/null 2>&1 && fail "the question is still shown"

# Loading, as soon as the window shows.
"$exe" --windowed --mute >"$work/out" 2>"$work/err" &
app=$!
find_window
stop_with TERM 143 "while loading"

# Playing: once the statistics line shows 51 frames went by.
"$exe" --windowed --mute >"$work/out" 2>"$work/err" &
app=$!
for _ in $(seq 600); do
  grep -q "^avarage" "$work/out" && break
  kill -0 "$app" 2>/dev/null || fail "the program ended while playing"
  sleep 0.1
done
stop_with INT 130 "while playing"
xdotool search --name "Lumivaara Zadorivora" >/dev/null 2>&1 && fail "the window is still shown"

# No display at all: never play unseen.
env -u DISPLAY -u WAYLAND_DISPLAY timeout 60 "$exe" --windowed --mute >"$work/out" 2>"$work/err"
status=$?
[ "$status" = 1 ] || fail "with no display: status $status, not 1"
grep -q "no display" "$work/err" || fail "with no display: not said"
grep -q "lumivaara-capture" "$work/err" || fail "with no display: lumivaara-capture not named"
echo "stopped asking (143), loading (143) and playing (130); no display: status 1"
