#!/usr/bin/env bash
# Times the extractor on generated netlists of 10k, 100k and 1M MOSFETs and
# prints, per size, wall time, peak memory and time per MOSFET.
# Usage: bench/run.sh [BUILD_DIR]   (from the project root; builds Release)
set -euo pipefail
build=${1:-build-bench}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF > /dev/null
cmake --build "$build" -j2 --target parser gen_netlist > /dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

printf '%-10s %-12s %10s %12s %14s %12s\n' MOSFETs occurrences "wall s" "peak MB" "us/MOSFET" "found"
for size in 10000 100000 1000000; do
  occ=$((size / 100))
  "$build/bench/gen_netlist" "$size" "$occ" 1 "$work/c.sp" "$work/l.sp" 2> "$work/gen.txt"
  mos=$(sed -E 's/ MOSFETs.*//' "$work/gen.txt")
  /usr/bin/time -f '%e %M' -o "$work/time.txt" \
    "$build/driver/parser" "$work/c.sp" "$work/l.sp" "$work/out.v" "$work/hdr.v" > "$work/stdout.txt"
  read -r wall kb < "$work/time.txt"
  found=$(grep -c '  X[0-9]' "$work/out.v" || true)
  awk -v n="$mos" -v o="$occ" -v w="$wall" -v k="$kb" -v f="$found" \
    'BEGIN { printf "%-10d %-12d %10.2f %12.1f %14.3f %12d\n", n, o, w, k / 1024, w * 1e6 / n, f }'
done
