#!/usr/bin/env bash
# Times the SPICE profile beside the floor program on the same generated
# design of library cells, flattened as a layout extraction writes it (every
# MOSFET an `X` call of a device subcircuit), with its cells given as
# --library: read, flatten, rails, recognition, cell search, write. The floor
# reads the same deck's device cards (--x-devices). Runs are interleaved;
# prints per size the medians of CPU (user + system) and peak memory of
# each, their ratios, the profile's bytes and CPU per MOSFET, and at the end
# the CPU per MOSFET at the largest size against the smallest.
# Usage: bench/profile_run.sh [CELL_FOLDER] [BUILD_DIR]   (from the project
# root; builds Release; CELL_FOLDER defaults to ../shared/cells)
#   SIZES  MOSFET counts (default "100000 1000000 3000000")
#   RUNS   runs of each program per size (default 3)
set -euo pipefail
cells=${1:-../shared/cells}
build=${2:-build-bench}
sizes=${SIZES:-100000 1000000 3000000}
runs=${RUNS:-3}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF > /dev/null
cmake --build "$build" -j2 --target parser floor > /dev/null
here=$(dirname "$0")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs a command and appends its CPU seconds (user + system) and peak kB to
# the file named first.
timed() {
  local into=$1
  shift
  /usr/bin/time -f '%U %S %M' -o "$work/time.txt" "$@" > /dev/null 2> "$work/stderr.txt"
  awk '{ printf "%.2f %d\n", $1 + $2, $3 }' "$work/time.txt" >> "$into"
}

# Median of column $2 of file $1.
median() {
  cut -d' ' -f"$2" "$1" | sort -g | awk '{ v[NR] = $1 } END { print (v[int((NR + 1) / 2)] + v[int(NR / 2) + 1]) / 2 }'
}

printf '%-9s %8s %8s %8s %8s %6s %6s %9s %9s\n' MOSFETs "CPU s" "peak MB" "floor s" "floor MB" "CPU x" "mem x" \
  B/MOSFET us/MOSFET
: > "$work/per_mosfet.txt"
for size in $sizes; do
  dir="$work/$size"
  python3 "$here/spice_cells/gen_design.py" --cells "$cells" --mosfets "$size" --flat --out "$dir" 2> "$work/gen.txt"
  mos=$(sed -E 's/.* cells \([0-9]+ sinks\), ([0-9]+) MOSFETs.*/\1/' "$work/gen.txt")
  : > "$work/profile.txt"
  : > "$work/floor.txt"
  for ((r = 0; r < runs; ++r)); do
    timed "$work/profile.txt" "$build/driver/parser" "$dir/design.sp" --library "$dir/lib.sp" --top cells_top --quiet \
      -o "$work/out.v"
    timed "$work/floor.txt" "$build/bench/floor" --x-devices "$dir/design.sp"
  done
  awk -v n="$mos" -v cpu="$(median "$work/profile.txt" 1)" -v kb="$(median "$work/profile.txt" 2)" \
    -v fcpu="$(median "$work/floor.txt" 1)" -v fkb="$(median "$work/floor.txt" 2)" \
    -v per_mosfet="$work/per_mosfet.txt" 'BEGIN {
      printf "%-9d %8.2f %8.1f %8.2f %8.1f %6.1f %6.1f %9.0f %9.3f\n", n, cpu, kb / 1024, fcpu, fkb / 1024,
        (fcpu > 0 ? cpu / fcpu : 0), kb / fkb, kb * 1024 / n, cpu * 1e6 / n
      printf "%d %.6g\n", n, cpu * 1e6 / n >> per_mosfet
    }'
  rm -rf "$dir"
done
awk 'NR == 1 { n0 = $1; c0 = $2 } { n = $1; c = $2 } END {
  if (NR > 1) printf "CPU per MOSFET at %d MOSFETs against %d: %+.1f%%\n", n, n0, (c / c0 - 1) * 100
}' "$work/per_mosfet.txt"
