#!/bin/sh
# The real program in a real window: under Xvfb with an 800 x 600 screen it
# opens its titled 800 x 600 window, plays, and ends on Escape with status 0.
#   window_end_to_end.sh EXE [no-music | no-audio-device]
# no-music runs a copy of the program beside its images and models but with
# no Music/ folder; no-audio-device names an audio driver that does not
# exist. Either way the demo must play on the system clock.
set -u
exe="$1"
mode="${2:-}"
screen=800x600
. "$(dirname "$0")/xvfb_session.sh"

case "$mode" in
  no-music)
    dir=$(dirname "$exe")
    mkdir "$work/app"
    ln "$exe" "$work/app/lumivaara" 2>/dev/null || cp "$exe" "$work/app/lumivaara"
    ln -s "$dir/Images" "$work/app/Images"
    ln -s "$dir/Models" "$work/app/Models"
    exe="$work/app/lumivaara"
    ;;
  no-audio-device)
    export SDL_AUDIODRIVER=no-such-driver
    ;;
esac

"$exe" >"$work/out" 2>"$work/err" &
app=$!

find_window
[ "$WIDTH" = 800 ] && [ "$HEIGHT" = 600 ] || fail "window is ${WIDTH}x${HEIGHT}, not 800x600"

# Let it play until the ray-caster's statistics line shows 51 frames went by.
for _ in $(seq 300); do
  grep -q "avarage [0-9]* rays per frame" "$work/out" && break
  kill -0 "$app" 2>/dev/null || fail "the program died while playing"
  sleep 0.1
done
kill -0 "$app" 2>/dev/null || fail "the program died while playing"
xdotool windowfocus --sync "$win" 2>/dev/null
xdotool key --window "$win" Escape

wait_for_end 10
[ "$status" = 0 ] || fail "exit status $status"
case "$mode" in
  no-music) grep -q "Music/virtaus.ogg" "$work/err" || fail "the missing music was not named" ;;
  no-audio-device) grep -q "no audio device" "$work/err" || fail "the missing audio device was not reported" ;;
esac
grep -q "avarage [0-9]* rays per frame" "$work/out" || fail "no statistics line on standard output"
echo "window opened at 800x600, played${mode:+ ($mode)}, ended on Escape with status 0"
