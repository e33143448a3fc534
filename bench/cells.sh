#!/usr/bin/env bash
# Extracts a generated cell-library design and checks the result against the
# placements: placed copies found, instances reported that were not placed
# (sound or not), nets the written netlist reads but nothing drives, and the
# written netlist simulated against the placed design.
# Usage: bench/cells.sh [MOSFETS [SEED [BUILD_DIR]]]   (from the project root; builds Release)
#   SHARED=1  one-gate cells share gate types with larger cells (gen_cells --shared-types)
#   NESTED=1  cells built around smaller ones (gen_cells --nested)
set -euo pipefail
size=${1:-100000}
seed=${2:-1}
build=${3:-build-bench}
flags=()
[ "${SHARED:-0}" = 1 ] && flags+=(--shared-types)
[ "${NESTED:-0}" = 1 ] && flags+=(--nested)
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF > /dev/null
cmake --build "$build" -j2 --target parser gen_cells check_cells > /dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/bench/gen_cells" "$size" "$seed" "$work/c.sp" "$work/l.sp" "$work/placed.txt" ${flags[@]+"${flags[@]}"}
/usr/bin/time -f '%e %M' -o "$work/time.txt" \
  "$build/driver/parser" "$work/c.sp" "$work/l.sp" "$work/out.v" "$work/hdr.v" > "$work/stdout.txt"
read -r wall kb < "$work/time.txt"
echo "wall s $wall"
echo "peak MB $((kb / 1024))"
echo "rejected attempts $(grep -c '^ occurrence rejected: ' "$work/stdout.txt" || true)"
"$build/bench/check_cells" "$work/placed.txt" "$work/out.v" "$work/hdr.v"
