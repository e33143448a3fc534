#!/usr/bin/env bash
# Times the extractor beside the floor program (read the deck, split the
# MOSFET cards, number their nodes, build the node-to-MOSFET adjacency) on
# generated netlists, both on the same deck in the same run, interleaved.
# Prints per size the medians of CPU (user + system) and peak memory of each,
# their ratios, the extractor's cost per MOSFET and the subcircuit copies
# placed and found; then the CPU per MOSFET at the largest size against the
# smallest.
# Usage: bench/run.sh [BUILD_DIR]   (from the project root; builds Release)
#   SIZES  MOSFET counts (default "100000 1000000 3000000")
#   RUNS   runs of each program per size (default 3)
set -euo pipefail
build=${1:-build-bench}
sizes=${SIZES:-100000 1000000 3000000}
runs=${RUNS:-3}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF > /dev/null
cmake --build "$build" -j2 --target parser gen_netlist floor > /dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs a command and appends its CPU seconds (user + system) and peak kB to
# the file named first.
timed() {
  local into=$1
  shift
  /usr/bin/time -f '%U %S %M' -o "$work/time.txt" "$@" > "$work/stdout.txt"
  awk '{ printf "%.2f %d\n", $1 + $2, $3 }' "$work/time.txt" >> "$into"
}

# Median of column $2 of file $1.
median() {
  cut -d' ' -f"$2" "$1" | sort -g | awk '{ v[NR] = $1 } END { print (v[int((NR + 1) / 2)] + v[int(NR / 2) + 1]) / 2 }'
}

printf '%-9s %7s %7s %8s %8s %8s %8s %6s %6s %9s %9s\n' MOSFETs placed found "CPU s" "peak MB" "floor s" "floor MB" \
  "CPU x" "mem x" B/MOSFET us/MOSFET
: > "$work/per_mosfet.txt"
for size in $sizes; do
  occ=$((size / 100))
  "$build/bench/gen_netlist" "$size" "$occ" 1 "$work/c.sp" "$work/l.sp" 2> "$work/gen.txt"
  mos=$(sed -E 's/ MOSFETs.*//' "$work/gen.txt")
  : > "$work/program.txt"
  : > "$work/floor.txt"
  for ((r = 0; r < runs; ++r)); do
    timed "$work/program.txt" "$build/driver/parser" "$work/c.sp" "$work/l.sp" "$work/out.v" "$work/hdr.v"
    timed "$work/floor.txt" "$build/bench/floor" "$work/c.sp" "$work/l.sp"
  done
  found=$(grep -c '  X[0-9]' "$work/out.v" || true)
  awk -v n="$mos" -v o="$occ" -v f="$found" -v cpu="$(median "$work/program.txt" 1)" \
    -v kb="$(median "$work/program.txt" 2)" -v fcpu="$(median "$work/floor.txt" 1)" \
    -v fkb="$(median "$work/floor.txt" 2)" -v per_mosfet="$work/per_mosfet.txt" 'BEGIN {
      printf "%-9d %7d %7d %8.2f %8.1f %8.2f %8.1f %6.1f %6.1f %9.0f %9.3f\n", n, o, f, cpu, kb / 1024, fcpu,
        fkb / 1024, (fcpu > 0 ? cpu / fcpu : 0), kb / fkb, kb * 1024 / n, cpu * 1e6 / n
      printf "%d %.6g\n", n, cpu * 1e6 / n >> per_mosfet
    }'
done
awk 'NR == 1 { n0 = $1; c0 = $2 } { n = $1; c = $2 } END {
  if (NR > 1) printf "CPU per MOSFET at %d MOSFETs against %d: %+.1f%%\n", n, n0, (c / c0 - 1) * 100
}' "$work/per_mosfet.txt"
