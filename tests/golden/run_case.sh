#!/usr/bin/env bash
# Runs the extractor on one golden case and compares its outputs byte for
# byte.
# Usage: run_case.sh PARSER DATA_DIR CASE [--update]
#
# A classic case CASE.sp (second file CASE.lib.sp, else an empty one) checks
# the netlist, the header and standard output (CPU-time figures masked as T).
# A profile case has CASE.args instead, the profile's arguments (run from
# DATA_DIR, the output file added): it checks the Verilog file (CASE.v),
# standard error (CASE.stderr: warnings and the summary, its CPU times and
# peak memory masked as T and M), and, when DESIGN_DUMP names the dump
# program, the design's dump (CASE.design); with a testbench CASE.tb.v, what
# Icarus Verilog prints running it on the written file (CASE.sim; skipped
# without Icarus).
set -u
parser=$1 data=$2 case=$3 update=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Copies the new outputs over the expected ones, or compares them.
finish() {
  local rc=0 pair
  for pair in "$@"; do
    local expected=$data/$case.${pair%%=*} got=$work/${pair#*=}
    if [ "$update" = "--update" ]; then
      cp "$got" "$expected"
    else
      diff -u "$expected" "$got" || rc=1
    fi
  done
  exit $rc
}

if [ -f "$data/$case.args" ]; then
  read -r -a args < "$data/$case.args"
  parser=$(realpath "$parser")
  [ -n "${DESIGN_DUMP:-}" ] && DESIGN_DUMP=$(realpath "$DESIGN_DUMP")
  (cd "$data" && "$parser" "${args[@]}" -o "$work/out.v" 2> "$work/stderr.raw")
  status=$?
  # The summary's CPU seconds and peak MiB masked as T and M, the output's
  # folder left out.
  sed -E -e "s|$work/||g" -e 's/^(  [a-z]+) +[0-9]+\.[0-9]{2} +[0-9]+\.[0-9]$/\1 T M/' "$work/stderr.raw" > "$work/stderr"
  echo "exit status $status" >> "$work/stderr"
  outputs=(v=out.v stderr=stderr)
  if [ -n "${DESIGN_DUMP:-}" ]; then
    (cd "$data" && "$DESIGN_DUMP" "${args[@]}" -o /dev/null > "$work/design")
    outputs+=(design=design)
  fi
  if [ -f "$data/$case.tb.v" ] && command -v iverilog >/dev/null && command -v vvp >/dev/null; then
    iverilog -g2005 -o "$work/sim.vvp" "$data/$case.tb.v" "$work/out.v" > "$work/sim" 2>&1 &&
      vvp -n "$work/sim.vvp" >> "$work/sim" 2>&1
    outputs+=(sim=sim)
  fi
  finish "${outputs[@]}"
fi

second="$data/$case.lib.sp"
[ -f "$second" ] || { second="$work/empty.sp"; : > "$second"; }

"$parser" "$data/$case.sp" "$second" "$work/netlist.v" "$work/header.v" > "$work/stdout.raw"
status=$?
if [ $status -ne 0 ]; then
  echo "exit status $status"
  exit 1
fi
sed -E -e 's/^((Gate gen |patt matching )?CPU time = )[-0-9.]+$/\1T/' \
       -e 's/^\t(User|System) [-0-9.]+/\t\1 T/' "$work/stdout.raw" > "$work/stdout"

if [ "$update" != "--update" ]; then
  cmp "$data/header.v" "$work/header.v" || exit 1
fi
finish stdout=stdout netlist.v=netlist.v
