#!/bin/sh
# The demo's command line on a real display: under Xvfb with a 1024 x 768
# screen, each case starts the program, checks its window, and ends it with
# Escape, expecting status 0.
#   window_options.sh EXE windowed   --windowed --size 640x480: a 640 x 480
#                                    window, no question; F11 switches to full
#                                    screen and Alt+Enter back; resized to
#                                    2:1 it shows black columns
#   window_options.sh EXE fullscreen the default: full screen over the whole
#                                    screen, no question
#   window_options.sh EXE mode       --mode 1024x768: full screen, no question;
#                                    --mode 640x480, which the screen lacks:
#                                    the question, and Yes gives a window
#   window_options.sh EXE display    --display 7: bad value, status 2
#   window_options.sh EXE loop       --loop on a clock 40 times fast: three
#                                    rounds in one window, loaded once, with
#                                    flat memory (resident size after the
#                                    third within 5 % of after the first)
#   window_options.sh EXE start      --start 256000: the window shows the
#                                    conveyor, nearer a capture of it than one
#                                    of the spikes before it or of the opening,
#                                    and no ray-cast scene runs long enough for
#                                    a statistics line; Left goes back to the
#                                    spikes and Right forward to the conveyor
set -u
exe="$1"
mode="$2"
screen=1024x768
. "$(dirname "$0")/xvfb_session.sh"

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

# Mean brightness of screen column $1, rows $2 to $3.
column_mean() {
  ffmpeg -loglevel error -f x11grab -video_size 1024x768 -i "$DISPLAY" -frames:v 1 \
    -vf "crop=1:$(($3 - $2)):$1:$2" -f rawvideo -pix_fmt gray - |
    od -An -tu1 -v | awk '{for (i = 1; i <= NF; i++) { s += $i; n++ }} END {print int(s / n)}'
}

# Grey levels of an 800 x 600 picture, one a line: the window at X, Y on the
# screen ($1 = screen), or a PNG file.
grey_levels() {
  if [ "$1" = screen ]; then
    ffmpeg -loglevel error -f x11grab -video_size 1024x768 -i "$DISPLAY" -frames:v 1 \
      -vf "crop=800:600:$X:$Y" -f rawvideo -pix_fmt gray - | od -An -tu1 -v -w1
  else
    ffmpeg -loglevel error -i "$1" -f rawvideo -pix_fmt gray - | od -An -tu1 -v -w1
  fi
}

# Mean absolute difference of two files of grey levels.
grey_difference() {
  paste "$1" "$2" | awk '{ d = $1 - $2; s += d < 0 ? -d : d; n++ } END { print int(s / n) }'
}

# Ends the program with Escape and expects status 0.
end_with_escape() {
  kill -0 "$app" 2>/dev/null || fail "the program ended by itself"
  key Escape
  wait_for_end 10
  [ "$status" = 0 ] || fail "exit status $status"
}

case "$mode" in
  windowed) set -- --windowed --size 640x480 --mute ;;
  fullscreen) set -- --mute ;;
  mode) set -- --mode 1024x768 --mute ;;
  display)
    "$exe" --display 7 --mute >"$work/out" 2>"$work/err"
    status=$?
    [ "$status" = 2 ] || fail "--display 7 ended with status $status, not 2"
    grep -q "^lumivaara: --display: 7 is out of range (0 to 0, the displays here)" "$work/err" || fail "the display was not named"
    grep -q "^usage: lumivaara" "$work/err" || fail "no usage"
    echo "display: a display that is not there is a bad value, status 2"
    exit 0
    ;;
  loop) set -- --windowed --loop --mute; export LUMIVAARA_CLOCK_RATE=40 ;;
  start)
    # The pictures to compare with, made before the demo starts its clock.
    capture="$(dirname "$exe")/lumivaara-capture"
    for t in 1000 250000 258000 260000 262000; do
      "$capture" --quiet --fps 50 --from $t --to $((t + 20)) --frames "$work/at$t" \
        2>>"$work/err" || fail "capture at $t ms failed"
      grey_levels "$work/at$t/$(printf %06d $t).png" >"$work/grey$t"
    done
    set -- --windowed --size 800x600 --mute --start 256000
    ;;
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
    key alt+Return
    expect_size 640 480 "after F11 and Alt+Enter"
    # A 2:1 window keeps the 4:3 picture between black columns: at 800 x 400
    # the picture is 533 wide from column 133 (the window sits at X, Y).
    xdotool windowsize "$win" 800 400
    expect_size 800 400 "resized"
    eval "$(xdotool getwindowgeometry --shell "$win")"
    sleep 1
    top=$((Y + 100)) bottom=$((Y + 300))
    [ "$(column_mean $((X + 60)) $top $bottom)" = 0 ] || fail "no black column left of the picture"
    [ "$(column_mean $((X + 740)) $top $bottom)" = 0 ] || fail "no black column right of the picture"
    [ "$(column_mean $((X + 400)) $top $bottom)" -gt 20 ] || fail "no picture in the middle"
    ;;
  fullscreen)
    expect_size 1024 768 "full screen"
    [ "$X" = 0 ] && [ "$Y" = 0 ] || fail "full screen window at $X,$Y, not 0,0"
    ;;
  mode)
    expect_size 1024 768 "--mode 1024x768"
    [ "$X" = 0 ] && [ "$Y" = 0 ] || fail "full screen window at $X,$Y, not 0,0"
    end_with_escape
    "$exe" --mode 640x480 --mute >"$work/out" 2>"$work/err" &
    app=$!
    # The question is a box of its own; where the X server has no fonts for
    # one, SDL cannot show it: the question goes to stderr and, nothing
    # having been asked, the program ends with status 1.
    question=""
    for _ in $(seq 100); do
      question=$(xdotool search --name "^OPENGL$" 2>/dev/null | head -n 1)
      [ -n "$question" ] && break
      kill -0 "$app" 2>/dev/null || break
      sleep 0.1
    done
    if [ -z "$question" ]; then
      wait_for_end 60
      grep -q "Use Windowed Mode Instead? (no box could be shown" "$work/err" ||
        fail "no question for a mode the screen lacks"
      [ "$status" = 1 ] || fail "a question that could not be asked ended with status $status"
      echo "mode: full screen in the screen's mode; the question on stderr for another, status 1"
      exit 0
    fi
    xdotool windowfocus --sync "$question" 2>/dev/null
    xdotool key --window "$question" Return
    find_window
    expect_size 640 480 "the window after Yes"
    ;;
  loop)
    # At 40 times speed each round of 330 s takes about 8 s. The resident
    # size is read as each round ends, when the next starts from the state
    # after loading.
    first_window=$win
    rounds=0
    for _ in $(seq 1200); do
      kill -0 "$app" 2>/dev/null || fail "the program ended instead of starting again"
      now=$(grep -c "starting again" "$work/err")
      if [ "$now" -gt "$rounds" ]; then
        rounds=$now
        rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$app/status")
        [ "$rounds" = 1 ] && rss1=$rss
        [ "$rounds" = 3 ] && rss3=$rss && break
      fi
      sleep 0.1
    done
    [ "$rounds" -ge 3 ] || fail "only $rounds rounds ended"
    [ "$(grep -c "^render path:" "$work/err")" = 1 ] || fail "loaded again for a new round"
    find_window
    [ "$win" = "$first_window" ] || fail "a new window for a new round"
    expect_size 800 600 "the window after three rounds"
    if [ -n "${LUMIVAARA_TEST_SANITIZED:-}" ]; then
      echo "loop: three rounds in one window; resident size not compared under the sanitizer"
    else
      [ $((rss3 * 100)) -le $((rss1 * 105)) ] ||
        fail "resident size grew from $rss1 kB after the first round to $rss3 kB after the third"
      echo "loop: three rounds in one window; resident size $rss1 kB, then $rss3 kB"
    fi
    ;;
  start)
    expect_size 800 600 "--windowed --size 800x600"
    # Loading and the seek take about a second; then a second of the conveyor.
    for _ in $(seq 100); do
      grep -q "^render path:" "$work/err" && break
      sleep 0.1
    done
    sleep 2
    eval "$(xdotool getwindowgeometry --shell "$win")"
    grey_levels screen >"$work/shown"
    conveyor=$(grey_difference "$work/shown" "$work/grey258000")
    spikes=$(grey_difference "$work/shown" "$work/grey250000")
    opening=$(grey_difference "$work/shown" "$work/grey1000")
    echo "start: differences to the conveyor $conveyor, the spikes $spikes, the opening $opening"
    [ "$conveyor" -lt "$spikes" ] && [ "$conveyor" -lt "$opening" ] ||
      fail "--start 256000 does not show the conveyor"
    grep -q "^avarage" "$work/out" && fail "a ray-cast scene played: $(head -n 1 "$work/out")"
    # About 258 s now: Left lands near 248 s in the spikes, Right back in the
    # conveyor near 259 s.
    key Left
    sleep 1
    grey_levels screen >"$work/back"
    [ "$(grey_difference "$work/back" "$work/grey250000")" -lt \
      "$(grey_difference "$work/back" "$work/grey258000")" ] || fail "Left did not go back to the spikes"
    # Where Right lands depends on how long the keys and grabs took, and the
    # conveyor's arm swings into view near 261 s: compare with its nearest.
    key Right
    sleep 1
    grey_levels screen >"$work/forward"
    nearest=$(for t in 258000 260000 262000; do
      grey_difference "$work/forward" "$work/grey$t"; done | sort -n | head -n 1)
    [ "$nearest" -lt "$(grey_difference "$work/forward" "$work/grey250000")" ] ||
      fail "Right did not go forward to the conveyor"
    ;;
esac

end_with_escape
echo "$mode: window as expected, ended on Escape with status 0"
