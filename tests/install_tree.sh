#!/bin/sh
# An installation into a temporary DESTDIR: the installed lumivaara-capture,
# run from another directory, finds the installed assets and draws the same
# frames as the build tree's capture.
#   install_tree.sh BUILD_DIR
set -u
build="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

DESTDIR="$work/root" cmake --install "$build" --prefix /opt/lumivaara >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; fail "cmake --install"; }
root="$work/root/opt/lumivaara"
for f in games/lumivaara bin/lumivaara-capture bin/lumivaara-bench \
         share/games/lumivaara/Music/virtaus.ogg share/games/lumivaara/Models/tora.3ds \
         share/games/lumivaara/Images/sky5.jpg share/applications/lumivaara.desktop \
         share/icons/hicolor/256x256/apps/lumivaara.png share/man/man6/lumivaara.6.gz \
         share/man/man1/lumivaara-capture.1.gz share/man/man1/lumivaara-bench.1.gz \
         share/doc/lumivaara/copyright; do
  [ -f "$root/$f" ] || fail "$f was not installed"
done

# The ringed planet with its textures and, from 57.5 s, its three models.
mkdir "$work/elsewhere"
cd "$work/elsewhere" || fail "cd"
"$root/bin/lumivaara-capture" --fps 1 --from 58000 --to 59000 --frames "$work/installed" \
  >/dev/null 2>"$work/installed.err" || { cat "$work/installed.err"; fail "installed capture"; }
grep -q "no Images" "$work/installed.err" && { cat "$work/installed.err"; fail "assets not found"; }
"$build/lumivaara-capture" --fps 1 --from 58000 --to 59000 --frames "$work/built" \
  >/dev/null 2>"$work/built.err" || { cat "$work/built.err"; fail "build tree capture"; }
[ -f "$work/installed/058000.png" ] || fail "no frame written"
cmp -s "$work/installed/058000.png" "$work/built/058000.png" ||
  fail "the installed capture draws a different frame from the build tree's"

# Without the data folder it says where it looked.
rm -rf "$root/share/games/lumivaara"
"$root/bin/lumivaara-capture" --fps 1 --from 0 --to 1000 --frames "$work/none" \
  >/dev/null 2>"$work/none.err"
grep -q "no Images/, Models/ or Music/ in $root/bin/ nor in $root/share/games/lumivaara/" \
  "$work/none.err" || { cat "$work/none.err"; fail "missing assets not reported with both places"; }
echo "installed tree complete; its capture draws the build tree's frames"
