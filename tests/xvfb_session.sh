# Sourced by the window tests: a work folder, an Xvfb server with one screen
# of the size given, and clean-up of both and of the program ($app) on exit.
#   screen=WxH; . xvfb_session.sh
# Sets work, xvfb and DISPLAY; fail MESSAGE prints the program's stderr
# ($work/err) and exits 1; find_window waits for the demo's window;
# wait_for_end SECONDS waits that long at most for the program to end.
work=$(mktemp -d)
cleanup() {
  [ -n "${app:-}" ] && kill "$app" 2>/dev/null
  # Waited for, so that no later server finds this one's display half gone.
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"; echo "--- program stderr:"; cat "$work/err"
  [ -s "$work/xvfb.log" ] && { echo "--- Xvfb:"; cat "$work/xvfb.log"; }
  exit 1
}

# -noreset: by default the server resets when its last client leaves, and a
# client connecting during the reset (the program, while a test's xdotool
# has just disconnected) is refused.
Xvfb -displayfd 3 -noreset -screen 0 "${screen}x24" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { cat "$work/xvfb.log"; echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=":$(cat "$work/display")"
touch "$work/err"

title="(LVS) Lumivaara Zadorivora"

# Waits for the demo's window while $app runs; checks its title and sets win,
# WIDTH, HEIGHT, X and Y.
find_window() {
  win="" name=""
  for _ in $(seq 300); do
    win=$(xdotool search --name "Lumivaara Zadorivora" 2>/dev/null | head -n 1)
    [ -n "$win" ] && name=$(xdotool getwindowname "$win" 2>/dev/null) && break
    kill -0 "$app" 2>/dev/null || fail "the program ended before showing its window"
    sleep 0.1
  done
  [ -n "$name" ] || fail "no window titled \"$title\""
  [ "$name" = "$title" ] || fail "window title \"$name\""
  eval "$(xdotool getwindowgeometry --shell "$win")"
}

# Waits at most $1 seconds for $app to end; sets status to its exit status.
wait_for_end() {
  for _ in $(seq $(($1 * 10))); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$app" 2>/dev/null && fail "the program still runs after $1 s"
  wait "$app"
  status=$?
  app=""
}
