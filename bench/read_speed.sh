#!/usr/bin/env bash
# Reading speed of the two readers on one generated circuit of about 1M
# MOSFETs, written in each language (Release build).
# Usage: bench/read_speed.sh [BUILD_DIR] [MOSFETS]   (from the project root)
#
# First the medians of five runs of each reader in one process (wall time,
# reading split from flattening); then each reader in a process of its own,
# five times in turn, with the median CPU time (user + system) and peak
# memory of each. The second is the fair comparison: a process pays for the
# pages it touches, and in one process a reader may reuse pages that the
# previous run gave back.
set -euo pipefail
build=${1:-build-bench}
size=${2:-1000000}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF > /dev/null
cmake --build "$build" -j2 --target gen_netlist read_speed > /dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/gen_netlist" "$size" 0 1 "$work/c.sp" "$work/l.sp" 2> /dev/null
awk -f bench/to_spice.awk "$work/c.sp" > "$work/c.spice"
# The classic reader takes its model cards from the second file.
grep '^\.model' "$work/l.sp" | head -2 > "$work/models.sp"
files=("$work/c.sp" "$work/models.sp" "$work/c.spice")
"$build/bench/read_speed" "${files[@]}" 5
if [ ! -x /usr/bin/time ]; then
  echo "(no /usr/bin/time: whole-process figures skipped)" >&2
  exit 0
fi
for i in 1 2 3 4 5; do
  for reader in classic spice; do
    /usr/bin/time -f "$reader %U %S %M" -a -o "$work/times" "$build/bench/read_speed" "${files[@]}" "$reader"
  done
done
echo "whole process, medians of 5:" >&2
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
for reader in classic spice; do
  cpu=$(awk -v r="$reader" '$1 == r { print $2 + $3 }' "$work/times" | median)
  peak=$(awk -v r="$reader" '$1 == r { print $4 }' "$work/times" | median)
  printf "%-8s %8.2f s CPU %8.1f MiB peak\n" "$reader" "$cpu" "$(echo "$peak" | awk '{ print $1 / 1024 }')" >&2
done
