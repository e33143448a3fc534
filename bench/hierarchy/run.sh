#!/usr/bin/env bash
# The hierarchy kept, at scale and in simulation. Two designs:
#   chip  the generated cell design of 1M MOSFETs (bench/spice_cells/
#         gen_design.py --hier: X calls of its cells), folded by a NAND tree
#         in `core`, called 1000 times under `chip`: about 1.2e9 MOSFETs;
#   sram  an SRAM-style array of 2^20 latch bit cells (1024 rows of 1024)
#         with a decoder per row (gen_sram.py): about 2.7e7 MOSFETs.
# Prints per run the wall time and peak memory (the targets: 10 s, 1 GB),
# then the same designs small enough to flatten, simulated kept against
# --flatten on random vectors (compare_flat.py).
# Usage: bench/hierarchy/run.sh [CELL_FOLDER] [OUT]   (from the project root)
set -euo pipefail
cells=${1:-../shared/cells}
out=${2:-build-bench/hierarchy}
build=build-bench
here=$(dirname "$0")
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF > /dev/null
cmake --build "$build" -j2 --target parser > /dev/null
parser=$build/driver/parser
mkdir -p "$out"
python3 bench/spice_cells/gen_design.py --cells "$cells" --mosfets 1000000 --hier --out "$out/d1m" > /dev/null 2>&1
python3 "$here/gen_chip.py" "$out/d1m/design.sp" cells_top 1000 "$out/chip.sp"
python3 "$here/gen_sram.py" --address-bits 10 --width 1024 --out "$out/sram"
printf '%-22s %14s %8s %9s\n' design MOSFETs "wall s" "peak MB"
run() {  # label, then the parser's arguments
  local label=$1
  shift
  /usr/bin/time -f '%e %M' -o "$out/time.txt" "$parser" "$@" -o "$out/$label.v" 2> "$out/$label.txt"
  read -r wall kb < "$out/time.txt"
  mos=$(sed -nE 's/^  MOSFETs: ([0-9]+) read.*/\1/p' "$out/$label.txt")
  awk -v l="$label" -v m="$mos" -v w="$wall" -v k="$kb" 'BEGIN { printf "%-22s %14d %8.2f %9.1f\n", l, m, w, k / 1024 }'
}
run chip "$out/chip.sp" --top chip
run chip-library "$out/chip.sp" --top chip -l "$out/d1m/lib.sp"
run sram "$out/sram/sram.sp"

echo "kept against --flatten, random vectors:"
python3 bench/spice_cells/gen_design.py --cells "$cells" --mosfets 20000 --hier --out "$out/d20k" > /dev/null 2>&1
python3 "$here/gen_chip.py" "$out/d20k/design.sp" cells_top 4 "$out/chip_small.sp"
python3 "$here/gen_sram.py" --address-bits 5 --width 8 --out "$out/sram_small"
echo "  chip (4 calls of 20k MOSFETs): $(python3 "$here/compare_flat.py" "$parser" "$out/chip_small.sp" chip)"
echo "  the same, cells searched:      $(python3 "$here/compare_flat.py" "$parser" "$out/chip_small.sp" chip -l "$out/d20k/lib.sp")"
echo "  sram (32 x 8):                 $(python3 "$here/compare_flat.py" "$parser" "$out/sram_small/sram.sp" sram --strobe we --vectors 500)"
