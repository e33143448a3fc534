#!/usr/bin/env bash
# Compares the SPICE profile of two `parser` binaries: exit status, standard
# output, standard error and the written netlist must be the same bytes.
#
#   bench/compare_profile.sh OLD_PARSER NEW_PARSER [CELLS_DIR]
#
# Inputs: every file of examples/spice and of the test cells, each alone and
# each as a library of itself; the example deck with its library; the files
# of CELLS_DIR (a folder of cell netlists, if given); and a generated deck of
# 10k MOSFETs written as a layout extraction writes it (needs gen_netlist in
# the NEW binary's build tree). When the shared test data is there (SHARED,
# default ../shared beside the checkout): the sky130 cells, each alone and
# as its own library; the decks of other dialects, alone and with the IHP
# cell library; and the extracted fuserisc design with its cell library.
# NEW_ARGS and OLD_ARGS hold options given to one binary only (NEW_ARGS=--quiet
# compares a build that prints a summary with one that does not; both
# --quiet leave out the summary's CPU and memory figures).
# Exits 1 on any difference.
set -uo pipefail

if [ $# -lt 2 ]; then
  sed -n '2,18p' "$0" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
old=$(realpath "$1") new=$(realpath "$2") extra=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

inputs=("$root"/examples/spice/*.sp "$root"/tests/spice/data/cells/spice/*.spice)
if [ -n "$extra" ]; then inputs+=("$extra"/*); fi
gen="$(dirname "$new")/../bench/gen_netlist"
if [ -x "$gen" ]; then
  "$gen" 10000 0 1 "$work/g.sp" "$work/g.lib.sp" 2> /dev/null
  awk -f "$root/bench/to_spice.awk" "$work/g.sp" > "$work/generated.spice"
  inputs+=("$work/generated.spice")
fi

# One run of both binaries; its arguments follow the case name.
cases=0 diffs=0
run() {
  local name=$1
  shift
  cases=$((cases + 1))
  for side in old new; do
    local bin=$old extra=()
    read -r -a extra <<< "${OLD_ARGS:-}"
    [ "$side" = new ] && bin=$new && read -r -a extra <<< "${NEW_ARGS:-}"
    mkdir -p "$work/$side"
    (cd "$work/$side" && "$bin" "${extra[@]}" "$@" -o out.v > stdout.txt 2> stderr.txt; echo "$?" > status.txt)
    [ -f "$work/$side/out.v" ] || : > "$work/$side/out.v"
  done
  local f
  for f in status.txt stdout.txt stderr.txt out.v; do
    if ! cmp -s "$work/old/$f" "$work/new/$f"; then
      diffs=$((diffs + 1))
      echo "DIFFERS: $name ($f)"
      diff "$work/old/$f" "$work/new/$f" | head -5
      break
    fi
  done
  rm -rf "$work/old" "$work/new"
}

for f in "${inputs[@]}"; do
  run "$(basename "$f")" "$f"
  run "$(basename "$f") as its own library" "$f" -l "$f"
done
run "chain with cells" "$root/examples/spice/chain.sp" -l "$root/examples/spice/cells.sp"

shared=${SHARED:-$root/../shared}
if [ -d "$shared/cells/spice" ]; then
  for f in "$shared"/cells/spice/*.spice; do
    run "$(basename "$f")" "$f"
    run "$(basename "$f") as its own library" "$f" -l "$f"
  done
fi
if [ -d "$shared/dialects" ]; then
  ihp=$shared/dialects/ihp_sg13g2/sg13g2_stdcell.cdl
  for f in "$shared"/dialects/*.cdl "$shared"/dialects/*.cir "$shared"/dialects/ihp_sg13g2/*.cdl \
    "$shared"/dialects/ihp_sg13g2/*.spice; do
    [ -f "$f" ] || continue
    run "$(basename "$f")" "$f"
    [ -f "$ihp" ] && run "$(basename "$f") with the IHP cells" "$f" -l "$ihp"
  done
  # Decks of several uncalled cells, each with the top it is about.
  for pair in RM_IHPSG13_1P_64x64_c2_bm_bist.cdl:RM_IHPSG13_1P_64x64_c2_bm_bist \
    SP6TCClockGenerator.cdl:SP6TCClockGenerator sg13g2_inv2_and2_deep.cdl:sg13g2_inv2_and2_deep; do
    f=$shared/dialects/${pair%%:*}
    [ -f "$f" ] || continue
    run "${pair%%:*} --top ${pair#*:}" "$f" --top "${pair#*:}"
    [ -f "$ihp" ] && run "${pair%%:*} --top ${pair#*:} with the IHP cells" "$f" --top "${pair#*:}" -l "$ihp"
  done
fi
design=$shared/designs/fuserisc
if [ -f "$design/wb_mem_split.spice" ]; then
  run "fuserisc with its cells" "$design/wb_mem_split.spice" -l "$design/cells.spice"
fi
echo "$cases cases, $diffs differ"
[ "$diffs" -eq 0 ]
