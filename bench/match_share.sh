#!/usr/bin/env bash
# The share of subcircuit matching in whole runs on generated cell-library
# designs with few and with many definitions.
#
# Standard output's "Phase II" figures (user + system) cover the matching and
# then the wire list and both files. Each design is therefore also run with
# its definitions left out (the second file holding only the model cards):
# that run's Phase II is the wire list and the writing, and matching is the
# difference. The two runs are interleaved and each figure is a median.
#
# Prints per design: definitions, MOSFETs, CPU (user + system) of the whole
# run, Phase II with and without the definitions, matching, its share of the
# whole run, matching per definition, and from check_cells the copies placed,
# the placed copies found and the instances reported that were not placed.
# Usage: bench/match_share.sh [BUILD_DIR]   (from the project root; builds Release)
#   MOSFETS  design size (default 1000000)
#   CELLS    definition counts, one design each (default "30 120")
#   RUNS     runs of each kind per design (default 3)
#   SEED     generator seed (default 1)
set -euo pipefail
build=${1:-build-bench}
mosfets=${MOSFETS:-1000000}
counts=${CELLS:-30 120}
runs=${RUNS:-3}
seed=${SEED:-1}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF > /dev/null
cmake --build "$build" -j2 --target parser gen_cells check_cells > /dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs the extractor on the circuit and the second file given, writing
# out.v, and appends "whole-run-CPU phase-II-CPU" to the file named first.
timed_run() {
  /usr/bin/time -f '%U %S' -o "$work/time.txt" \
    "$build/driver/parser" "$work/c.sp" "$2" "$work/out.v" "$work/hdr.v" > "$work/stdout.txt"
  phase2=$(tail -n 60 "$work/stdout.txt" | awk '
    /^Phase II Time:/ { inside = 1; next }
    inside && /User/ { user = $2 }
    inside && /System/ { print user + $2; exit }')
  awk -v p="$phase2" '{ printf "%.2f %.2f\n", $1 + $2, p }' "$work/time.txt" >> "$1"
}

# Median of column $2 of file $1.
median() {
  cut -d' ' -f"$2" "$1" | sort -g | awk '{ v[NR] = $1 } END { print (v[int((NR + 1) / 2)] + v[int(NR / 2) + 1]) / 2 }'
}

# One check_cells figure by name.
figure() { awk -v name="$1" '$0 ~ "^" name " [0-9]+$" { print $NF }' "$work/check.txt"; }

printf '%-5s %8s %7s %9s %9s %8s %6s %9s %7s %7s %10s\n' defs MOSFETs "CPU s" "phase II" "no defs" "match s" share \
  ms/def placed found "not placed"
for count in $counts; do
  "$build/bench/gen_cells" "$mosfets" "$seed" "$work/c.sp" "$work/l.sp" "$work/placed.txt" "$count" 2> "$work/gen.txt"
  mos=$(sed -E 's/ MOSFETs.*//' "$work/gen.txt")
  defs=$(sed -E 's/.* of ([0-9]+) cells.*/\1/' "$work/gen.txt")
  # The circuit takes its model cards from the second file.
  grep '^\.model' "$work/l.sp" | head -n 2 > "$work/models.sp"
  : > "$work/with.txt"
  : > "$work/without.txt"
  for ((r = 0; r < runs; ++r)); do
    timed_run "$work/without.txt" "$work/models.sp"
    timed_run "$work/with.txt" "$work/l.sp"
  done
  # out.v is now the last run's with the definitions.
  "$build/bench/check_cells" "$work/placed.txt" "$work/out.v" > "$work/check.txt"
  awk -v d="$defs" -v n="$mos" -v cpu="$(median "$work/with.txt" 1)" -v p2="$(median "$work/with.txt" 2)" \
    -v base="$(median "$work/without.txt" 2)" -v placed="$(figure placed)" -v found="$(figure found)" \
    -v stray="$(figure 'not placed')" 'BEGIN {
      m = p2 - base
      printf "%-5d %8d %7.2f %9.2f %9.2f %8.2f %5.1f%% %9.1f %7d %7d %10d\n", d, n, cpu, p2, base, m,
        (cpu > 0 ? m / cpu * 100 : 0), m * 1000 / d, placed, found, stray
    }'
done
