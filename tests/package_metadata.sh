#!/bin/sh
# The Debian package, built once into a temporary directory: its name,
# version, architecture and section, dependencies computed from the binaries
# (SDL2, Vorbis and JPEG among them) plus the GL the window opens at run time, ffmpeg recommended, its contents,
# and the licence it ships: the description names it and the copyright file carries the text of LICENSE.
#   package_metadata.sh BUILD_DIR VERSION SOURCE_DIR
set -u
build="$1"
version="$2"
src="$3"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

(umask 022 && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work") >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
arch=$(dpkg --print-architecture)
deb="$work/lumivaara_${version}_${arch}.deb"
[ -f "$deb" ] || { ls "$work"; fail "no $deb"; }

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = lumivaara ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
depends=$(field Depends)
for lib in libsdl2-2.0-0 libvorbisfile3 libogg0 libjpeg62-turbo libegl1 libgl1 libc6; do
  echo "$depends" | tr ',' '\n' | grep -q "^ *$lib\( \|$\)" || fail "Depends lacks $lib: $depends"
done
echo "$(field Recommends)" | grep -qw ffmpeg || fail "Recommends: $(field Recommends)"
[ "$(field Description | wc -l)" -gt 3 ] || fail "no extended description"

dpkg-deb -c "$deb" | awk '{print $6}' >"$work/contents"
for f in ./usr/games/lumivaara ./usr/bin/lumivaara-capture ./usr/bin/lumivaara-bench \
         ./usr/share/games/lumivaara/Music/virtaus.ogg ./usr/share/applications/lumivaara.desktop \
         ./usr/share/icons/hicolor/256x256/apps/lumivaara.png ./usr/share/man/man6/lumivaara.6.gz \
         ./usr/share/doc/lumivaara/copyright ./usr/share/doc/lumivaara/changelog.gz; do
  grep -qx "$f" "$work/contents" || fail "the package lacks $f"
done
echo "$(field Description)" | grep -q "MIT (Expat) licence" || fail "the description names no licence"
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/lumivaara/copyright >"$work/copyright" ||
  fail "no copyright file to read"
head -1 "$work/copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' ||
  fail "the copyright file is not in the machine-readable format"
grep -qx "License: Expat" "$work/copyright" || fail "the copyright file names no Expat licence"
grep -qx "Copyright: 2026 The Lumivaara developers" "$work/copyright" || fail "copyright holder"
# The licence's text, as the stanza carries it (a lone "." is an empty line),
# must be that of LICENSE from its permission notice on.
sed -n '/^License: Expat$/,$p' "$work/copyright" | sed '1d; s/^ //; s/^\.$//' >"$work/stanza"
sed -n '/^Permission is hereby granted/,$p' "$src/LICENSE" >"$work/license"
[ -s "$work/license" ] || fail "no LICENSE beside the sources"
tail -n +$(grep -n '^Permission is hereby granted' "$work/stanza" | cut -d: -f1) "$work/stanza" |
  diff - "$work/license" >"$work/diff" || { cat "$work/diff"; fail "the copyright file's licence text differs from LICENSE"; }
echo "lumivaara_${version}_${arch}.deb: Depends: $depends"
