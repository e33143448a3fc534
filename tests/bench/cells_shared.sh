#!/usr/bin/env bash
# Generated cell-library designs whose one-gate cells share gate types with
# larger cells, some cells built around smaller ones: after extraction no
# net is read without a driver, every instance not placed computes what the
# gates it stands for compute, and the written netlist simulates equal to the
# placed design.
# Usage: cells_shared.sh PARSER GEN_CELLS CHECK_CELLS
set -euo pipefail
parser=$1 gen=$2 check=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
status=0
for seed in 4 5; do
  "$gen" 6000 "$seed" "$dir/c.sp" "$dir/l.sp" "$dir/placed.txt" --shared-types --nested 2> /dev/null
  "$parser" "$dir/c.sp" "$dir/l.sp" "$dir/out.v" "$dir/hdr.v" > /dev/null
  "$check" "$dir/placed.txt" "$dir/out.v" "$dir/hdr.v" > "$dir/check.txt"
  figure() { awk -v name="$1" '$0 ~ "^" name " [0-9]+$" { print $NF }' "$dir/check.txt"; }
  found=$(figure found) undriven=$(figure undriven) unsound=$(figure 'not placed unsound')
  mismatching=$(figure 'mismatching nets')
  echo "seed $seed: found $found undriven $undriven unsound $unsound mismatching $mismatching"
  if [ "$found" = 0 ] || [ "$undriven" != 0 ] || [ "$unsound" != 0 ] || [ "$mismatching" != 0 ]; then
    cat "$dir/check.txt"
    status=1
  fi
done
exit $status
