#!/usr/bin/env bash
# install_test.sh SOURCE_DIR BUILD_DIR: make install under a temporary DESTDIR
# puts the program into PREFIX/bin/ and the files it reads into
# PREFIX/share/meshshade/, the same as the run folder's, with the examples, the
# manual page, the desktop entry and its icons; make uninstall with the same
# DESTDIR takes every one of them away again, and meshshade's own folders.
set -euo pipefail
source_dir=$1
build_dir=$2
destdir=$(mktemp -d)
trap 'rm -rf "$destdir"' EXIT
prefix=$destdir/opt/meshshade
fail() { echo "FAILED: $*" >&2; exit 1; }
# a record of its own: a user's record of a real install stays as it is
make_() {
  env -u MAKEFLAGS -u MAKELEVEL make --no-print-directory -C "$source_dir" "$@" BUILD="$build_dir" \
    DESTDIR="$destdir" PREFIX=/opt/meshshade INSTALL_RECORD="$destdir/record.txt" >/dev/null
}

make_ install
[ -x "$prefix/bin/meshshade" ] || fail "no bin/meshshade"
share=$prefix/share/meshshade
for name in vp_reflection.cg fp_reflection.cg bunny500.m cessna_color500.m; do
  cmp -s "$source_dir/data/$name" "$share/$name" || fail "share/meshshade/$name is not the shipped file"
done
for set in sky sky2 nvlobby; do
  for face in posx negx posy negy posz negz; do
    cmp -s "$build_dir/run/cubemaps/${set}_$face.bmp" "$share/cubemaps/${set}_$face.bmp" ||
      fail "share/meshshade/cubemaps/${set}_$face.bmp is missing or differs"
  done
done
# the examples, each experiment a folder, as the repository has them
examples=0
while IFS= read -r -d '' file; do
  cmp -s "$file" "$share/examples/${file#"$source_dir/examples/"}" || fail "share/meshshade/examples lacks ${file#"$source_dir/"}"
  examples=$((examples + 1))
done < <(find "$source_dir/examples" -type f -print0)
[ "$examples" -ge 9 ] || fail "only $examples files in examples/"
for file in share/man/man1/meshshade.1.gz share/icons/hicolor/256x256/apps/meshshade.png \
  share/doc/meshshade/copyright; do
  [ -f "$prefix/$file" ] || fail "no $file"
done
# the desktop entry starts the viewer in the shipped files of this prefix
grep -qx "Path=/opt/meshshade/share/meshshade" "$prefix/share/applications/meshshade.desktop" ||
  fail "share/applications/meshshade.desktop: $(cat "$prefix/share/applications/meshshade.desktop")"
# the program, 4 shipped files, 18 cube-map faces, the manual page, 3 documents,
# 8 icons, the desktop entry and the examples
[ "$(grep -c "" "$destdir/record.txt")" = $((36 + examples)) ] ||
  fail "the install record does not list the $((36 + examples)) files"

make_ uninstall
left=$(find "$destdir" -mindepth 1 -not -type d; find "$prefix/share" -mindepth 1 -type d -name meshshade)
[ -z "$left" ] || fail "left after make uninstall: $left"
[ ! -e "$destdir/record.txt" ] || fail "the install record stayed"
echo "install: all files in place and taken away again"
