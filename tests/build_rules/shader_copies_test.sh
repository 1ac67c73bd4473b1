#!/usr/bin/env bash
# shader_copies_test.sh SOURCE_DIR: a user's edit of a shader file in the run
# folder survives a build after a new version is shipped; the new version lands
# beside it as .shipped, with one line saying so. Unedited copies follow the
# shipped files, and a missing one comes back.
set -euo pipefail
source_dir=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

mkdir "$scratch/shipped"
cp "$source_dir/data/vp_reflection.cg" "$source_dir/data/fp_reflection.cg" "$scratch/shipped/"
cmake -G Ninja -S "$source_dir/tests/build_rules/shader_copies" -B "$scratch/build" \
  -DMESHSHADE_DATA_DIR="$source_dir/data" -DSHADER_SOURCE_DIR="$scratch/shipped" >/dev/null
build() { cmake --build "$scratch/build" 2>&1; }
run=$scratch/build/run

build >/dev/null
cmp -s "$run/vp_reflection.cg" "$scratch/shipped/vp_reflection.cg" || fail "first build: no copy of vp_reflection.cg"

# the user edits one file; then both change upstream
echo "// my own change" >>"$run/vp_reflection.cg"
cp "$run/vp_reflection.cg" "$scratch/mine.cg"
echo "// shipped change" >>"$scratch/shipped/vp_reflection.cg"
echo "// shipped change" >>"$scratch/shipped/fp_reflection.cg"
out=$(build)
cmp -s "$run/vp_reflection.cg" "$scratch/mine.cg" || fail "the edited vp_reflection.cg was replaced"
cmp -s "$run/vp_reflection.cg.shipped" "$scratch/shipped/vp_reflection.cg" || fail "no vp_reflection.cg.shipped"
cmp -s "$run/fp_reflection.cg" "$scratch/shipped/fp_reflection.cg" || fail "the unedited fp_reflection.cg was not updated"
[ ! -e "$run/fp_reflection.cg.shipped" ] || fail "fp_reflection.cg.shipped beside an unedited file"
[ "$(grep -c 'vp_reflection.cg.shipped' <<<"$out")" = 1 ] || fail "not one line on the kept file: $out"
grep -q "has edits of yours and is kept" <<<"$out" || fail "no line on the kept file: $out"

# nothing new shipped: silent, nothing touched; a deleted copy comes back
out=$(build)
grep -q "kept" <<<"$out" && fail "the kept file was reported again: $out"
rm "$run/fp_reflection.cg"
build >/dev/null
cmp -s "$run/fp_reflection.cg" "$scratch/shipped/fp_reflection.cg" || fail "a deleted copy did not come back"

# taking the shipped version over by hand ends the .shipped copy
cp "$run/vp_reflection.cg.shipped" "$run/vp_reflection.cg"
build >/dev/null
[ ! -e "$run/vp_reflection.cg.shipped" ] || fail "vp_reflection.cg.shipped stayed after it was taken over"
echo "shader copies: all cases passed"
