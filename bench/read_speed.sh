#!/usr/bin/env bash
# Reading speed of the two readers on one generated circuit of about 1M
# MOSFETs, written in each language (medians of five runs, Release build).
# Usage: bench/read_speed.sh [BUILD_DIR] [MOSFETS]   (from the project root)
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
"$build/bench/read_speed" "$work/c.sp" "$work/models.sp" "$work/c.spice" 5
