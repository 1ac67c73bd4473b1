#!/usr/bin/env bash
# package_test.sh BUILD_DIR: cpack makes the Debian package from the build;
# lintian finds no error or warning in it; unpacked into a temporary root
# (dpkg -x), the program there runs --version and draws a --screenshot from
# the shipped files under that root, in a folder that holds none of them.
set -euo pipefail
build_dir=$1
tmp=$(mktemp -d)
xvfb=
trap '[ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; rm -rf "$tmp"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build_dir/CPackConfig.cmake")
deb=$tmp/deb/meshshade_${version}_$(dpkg --print-architecture).deb
(cd "$build_dir" && cpack -G DEB -B "$tmp/deb" >"$tmp/cpack.log" 2>&1) || { cat "$tmp/cpack.log" >&2; fail "cpack"; }
[ -f "$deb" ] || fail "no $(basename "$deb"): $(ls "$tmp/deb")"

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libassimp5 libglut libc6 libstb0; do
  [[ $depends == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done
lintian --fail-on error,warning "$deb" >"$tmp/lintian.log" 2>&1 || { cat "$tmp/lintian.log" >&2; fail "lintian"; }

root=$tmp/root
dpkg -x "$deb" "$root"
for file in usr/bin/meshshade usr/share/meshshade/vp_reflection.cg usr/share/meshshade/cubemaps/sky_posx.bmp \
  usr/share/meshshade/examples/toon/fp_reflection.cg usr/share/meshshade/examples/marble/noise.glsl \
  usr/share/applications/meshshade.desktop usr/share/man/man1/meshshade.1.gz \
  usr/share/icons/hicolor/48x48/apps/meshshade.png usr/share/doc/meshshade/copyright; do
  [ -f "$root/$file" ] || fail "the package lacks /$file"
done
grep -qx "Path=/usr/share/meshshade" "$root/usr/share/applications/meshshade.desktop" ||
  fail "the desktop entry does not start the viewer in /usr/share/meshshade"

[ "$("$root/usr/bin/meshshade" --version)" = "meshshade $version" ] || fail "--version"

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.1; done
[ -s "$tmp/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$tmp/display")"
mkdir "$tmp/work"
out=$(cd "$tmp/work" && timeout 60 "$root/usr/bin/meshshade" --size 320x240 --screenshot shot.png) ||
  fail "the screenshot run ended with $?: $out"
[[ $out == *"Files not in this folder are taken from $(realpath "$root/usr/share/meshshade")"* ]] ||
  fail "the shipped files did not come from the unpacked root: $out"
[[ $(file -b "$tmp/work/shot.png") == "PNG image data, 320 x 240, 8-bit/color RGB"* ]] ||
  fail "shot.png: $(file -b "$tmp/work/shot.png")"
# the same picture as the build's own program draws in its run folder
(cd "$build_dir/run" && timeout 60 ./meshshade --size 320x240 --screenshot "$tmp/build.png" >/dev/null) ||
  fail "the build's program drew no picture"
cmp -s "$tmp/work/shot.png" "$tmp/build.png" || fail "the unpacked program draws another picture than the build's"
echo "package: $(basename "$deb") unpacks and runs from $root"
