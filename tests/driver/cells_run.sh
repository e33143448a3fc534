#!/usr/bin/env bash
# A design of real cells flattened to transistors, the cells given as the
# library: every placed cell is reported once and nothing else, the written
# file simulates equal to the cell-level design and passes Verilator's lint.
# Usage: cells_run.sh PARSER CELL_FOLDER BENCH_FOLDER
set -euo pipefail
parser=$1 cells=$2 bench=$3
command -v python3 > /dev/null || { echo "no python3: skipped"; exit 77; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
python3 "$bench/gen_design.py" --cells "$cells" --mosfets 4000 --own 0 --seed 3 --flat --out "$dir" 2> /dev/null
"$parser" "$dir/design.sp" -l "$dir/lib.sp" --top cells_top -o "$dir/out.v" 2> "$dir/stderr.txt"
python3 "$bench/check_cells.py" --loose "$dir/lib.sp" "$dir/placements.txt" "$dir/out.v" > "$dir/check.txt"
read -r _ placed found other _ false < <(grep '^all ' "$dir/check.txt")
if [ "$placed" != "$found" ] || [ "$other" != 0 ] || [ "$false" != 0 ] || [ "$placed" = 0 ]; then
  cat "$dir/check.txt"
  exit 1
fi
# Every instance of the top module is a library cell.
if awk '/^module cells_top/,/^endmodule/' "$dir/out.v" | grep -E '^[A-Za-z]' | grep -vE '^(module|input|output|wire|endmodule|sky130_)'; then
  echo "gates left outside cells"
  exit 1
fi
echo "placed $placed found $found false $false"
skipped=0
if command -v iverilog > /dev/null && command -v vvp > /dev/null; then
  python3 "$bench/sim_check.py" "$dir/out.v" "$dir/reference.v" cells_top --vectors 100 | tail -1
else
  echo "no iverilog: simulation skipped"; skipped=1
fi
if command -v verilator > /dev/null; then
  verilator --lint-only --top-module cells_top "$dir/out.v"
else
  echo "no verilator: lint skipped"; skipped=1
fi
[ "$skipped" = 0 ] || exit 77
