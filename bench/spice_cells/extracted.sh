#!/usr/bin/env bash
# Cell search on decks as a layout extraction writes them for LVS (an empty
# black-box .subckt per cell, then the top's X calls, rails vccd1/vssd1):
# generated at 10k, 100k and 1M MOSFETs, and the real ones of DESIGNS. Runs
# `parser DECK -l CELLS -o OUT.v` with no rail options and prints per deck:
# exit status, wall s, peak MB, logic cells placed, found as placed, found as
# another cell, missed, reported but not placed, and the simulation against
# the cell-level design. A second line (run "bare") runs the deck without its
# empty black-box entries and with the rails named (--supply vccd1 --supply
# VPWR --ground vssd1 --ground VGND). Details in OUT/NAME/: check*.txt,
# sim*.txt, stderr*.txt.
# Usage: bench/spice_cells/extracted.sh [CELL_FOLDER] [OUT]   (from the project
# root; SIZES="10000 100000" picks the sizes, DESIGNS the folders of real
# decks, LEAVE_OUT a regex of cells the generated decks do not use, VECTORS
# and SIM_TIMEOUT the simulation's vectors and seconds)
set -uo pipefail
cells=${1:-../shared/cells}
out=${2:-build-bench/spice-extracted}
build=build-bench
here=$(dirname "$0")
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF > /dev/null || exit 1
cmake --build "$build" -j2 --target parser > /dev/null || exit 1
parser=$build/driver/parser
mkdir -p "$out"

# The deck without its empty .subckt entries (a header, its + lines, .ends).
strip_black_boxes() {
  awk 'function flush() { if (held != "") printf "%s", held; held = "" }
       tolower($1) == ".subckt" { flush(); held = $0 "\n"; next }
       held != "" && /^\+/ { held = held $0 "\n"; next }
       held != "" && tolower($1) == ".ends" { held = ""; next }
       { flush(); print }
       END { flush() }' "$1"
}

# measure NAME RUN DIR DECK CELLS PLACEMENTS REFERENCE [PARSER OPTIONS...]
measure() {
  local name=$1 run=$2 dir=$3 deck=$4 lib=$5 placements=$6 reference=$7
  shift 7
  local netlist=$dir/out.$run.v top status wall kb sim
  top=$(awk 'tolower($1) == ".subckt" { t = $2 } END { print t }' "$deck")
  rm -f "$netlist"
  /usr/bin/time -f '%e %M' -o "$dir/time.$run.txt" \
    "$parser" "$deck" -l "$lib" "$@" -o "$netlist" > /dev/null 2> "$dir/stderr.$run.txt"
  status=$?
  read -r wall kb < <(tail -1 "$dir/time.$run.txt")
  [ -f "$netlist" ] || netlist=/dev/null
  python3 "$here/check_cells.py" "$lib" "$placements" "$netlist" > "$dir/check.$run.txt"
  read -r _ placed asplaced other missed notplaced < <(grep '^all ' "$dir/check.$run.txt")
  if [ "$netlist" = /dev/null ]; then
    sim="no netlist"
  else
    python3 "$here/sim_check.py" "$netlist" "$reference" "$top" --ref ref_top \
      --vectors "${VECTORS:-200}" --timeout "${SIM_TIMEOUT:-300}" > "$dir/sim.$run.txt"
    sim=$(tail -1 "$dir/sim.$run.txt")
  fi
  printf '%-10s %-6s %6s %8.2f %8.1f %8d %9d %9d %8d %10d  %s\n' "$name" "$run" "$status" "$wall" \
    "$(echo "$kb / 1024" | bc -l)" "$placed" "$asplaced" "$other" "$missed" "$notplaced" "$sim"
  if [ "$status" != 0 ]; then
    echo "           $(grep -v warning "$dir/stderr.$run.txt" | head -1)"
  fi
}

# measure_both NAME DIR DECK CELLS PLACEMENTS REFERENCE
measure_both() {
  measure "$1" plain "$2" "$3" "$4" "$5" "$6"
  strip_black_boxes "$3" > "$2/bare.spice"
  measure "$1" bare "$2" "$2/bare.spice" "$4" "$5" "$6" --supply vccd1 --supply VPWR --ground vssd1 --ground VGND
}

printf '%-10s %-6s %6s %8s %8s %8s %9s %9s %8s %10s  %s\n' design run exit "wall s" "peak MB" placed as-placed as-other \
  missed not-placed simulation
for size in ${SIZES:-10000 100000 1000000}; do
  dir=$out/$size
  mkdir -p "$dir"
  if ! python3 "$here/gen_design.py" --cells "$cells" --mosfets "$size" --extracted \
       ${LEAVE_OUT:+--leave-out "$LEAVE_OUT"} --out "$dir" 2> "$dir/gen.txt"; then
    cat "$dir/gen.txt"
    continue
  fi
  measure_both "$size" "$dir" "$dir/design.spice" "$dir/cells.spice" "$dir/placements.txt" "$dir/reference.v"
done
for design in ${DESIGNS-../shared/designs/fuserisc}; do
  name=$(basename "$design")
  dir=$out/$name
  mkdir -p "$dir"
  deck=$(ls "$design"/*.spice | grep -v '/cells\.spice$' | head -1)
  measure_both "$name" "$dir" "$deck" "$design/cells.spice" "$design/placements.txt" "$design/reference.v"
done
