#!/usr/bin/env bash
# Regenerates data/bunny500.m: installs the npm package "bunny" at the version that package-lock.json
# pins, dumps its positions and triangles with Node.js, reduces them to about 500 vertices with
# simplify_bunny (meshoptimizer) and checks the result with check_mesh.
# Needs Node.js, npm and the npm registry; the viewer's own build needs none of them.
# Usage: tools/bunny/make_bunny.sh [build-dir]   (default: build, configured here if it is not yet)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=${1:-$repo/build}
out="$repo/data/bunny500.m"

(cd "$here" && npm ci --no-audit --no-fund --loglevel=error)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
node "$here/dump_bunny.js" "$work/bunny.txt"

[ -f "$build/CMakeCache.txt" ] || cmake -G Ninja -S "$repo" -B "$build" >/dev/null
cmake --build "$build" --target simplify_bunny check_mesh
"$build/tools/simplify_bunny" "$work/bunny.txt" "$out" 500
"$build/tools/check_mesh" --closed "$out"
