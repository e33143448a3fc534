#!/usr/bin/env bash
# Runs the extractor on two input files and compares its standard output,
# every CPU-time figure masked as T, with an expected file.
#   compare_stdout.sh [--regen] PARSER INPUT1 INPUT2 EXPECTED
# With --regen the masked output is written to EXPECTED instead.
set -euo pipefail

regen=0
if [[ ${1:-} == --regen ]]; then
  regen=1
  shift
fi
parser=$1 input1=$2 input2=$3 expected=$4

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

status=0
"$parser" "$input1" "$input2" "$work/netlist.v" "$work/header.v" >"$work/raw" || status=$?
if ((status != 0)); then
  echo "parser exited with status $status" >&2
  exit 1
fi

sed -e 's/^\(Gate gen CPU time = \|patt matching CPU time = \|CPU time = \).*/\1T/' \
    -e 's/^\t\(User\|System\) [^ ]*/\t\1 T/' "$work/raw" >"$work/stdout"

if ((regen)); then
  cp "$work/stdout" "$expected"
  exit 0
fi
diff -u "$expected" "$work/stdout"
