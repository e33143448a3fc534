#!/usr/bin/env bash
# Cell recognition on generated designs of library cells, at 10k, 100k and
# 1M MOSFETs: the design is flattened to transistors, the library given as
# --library; prints per size the time, placed cells found, found as another
# cell, missed, cells reported that were not placed (per cell kind in
# OUT/SIZE/check.txt) and the simulation of the written netlist against the
# cell-level design.
# Usage: bench/spice_cells/run.sh [CELL_FOLDER] [OUT]   (from the project root;
# SIZES="10000 100000" picks the sizes)
set -euo pipefail
cells=${1:-../shared/cells}
out=${2:-build-bench/spice-cells}
build=build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF > /dev/null
cmake --build "$build" -j2 --target parser > /dev/null
here=$(dirname "$0")
mkdir -p "$out"
printf '%-10s %10s %10s %10s %10s %10s %10s %10s  %s\n' MOSFETs "wall s" "peak MB" placed found other missed not-placed simulation
for size in ${SIZES:-10000 100000 1000000}; do
  dir="$out/$size"
  python3 "$here/gen_design.py" --cells "$cells" --mosfets "$size" --flat --out "$dir" 2> "$dir.gen.txt" || { cat "$dir.gen.txt"; exit 1; }
  mos=$(sed -E 's/.* cells \([0-9]+ sinks\), ([0-9]+) MOSFETs.*/\1/' "$dir.gen.txt")
  /usr/bin/time -f '%e %M' -o "$dir/time.txt" \
    "$build/driver/parser" "$dir/design.sp" --library "$dir/lib.sp" --top cells_top -o "$dir/out.v" > "$dir/stdout.txt" 2> "$dir/stderr.txt"
  read -r wall kb < "$dir/time.txt"
  python3 "$here/check_cells.py" --loose "$dir/lib.sp" "$dir/placements.txt" "$dir/out.v" > "$dir/check.txt" || true
  read -r _ placed found other missed false < <(grep '^all ' "$dir/check.txt")
  sim=$(python3 "$here/sim_check.py" "$dir/out.v" "$dir/reference.v" cells_top --vectors 200 | tail -1 || true)
  awk -v n="$mos" -v w="$wall" -v k="$kb" -v p="$placed" -v f="$found" -v o="$other" -v m="$missed" -v x="$false" -v s="$sim" \
    'BEGIN { printf "%-10d %10.2f %10.1f %10d %10d %10d %10d %10d  %s\n", n, w, k / 1024, p, f, o, m, x, s }'
done
