#!/usr/bin/env bash
# Compares the outputs of two builds of the extractor.
#
#   bench/compare.sh OLD NEW        (from anywhere inside the checkout)
#
# OLD and NEW are each either a `parser` binary or a git revision of this
# repository (a commit, tag or branch); a revision is exported with
# `git archive` and built in Release once, into $COMPARE_CACHE
# (default /tmp/extractor-compare/<commit>), and reused by later runs.
# Example, the working tree's build against an older commit:
#   bench/compare.sh 118e9ad build/driver/parser
#
# Both run on COUNT (default 1000) small generated netlists of every kind
# (flat, with subcircuit definitions, random MOSFET soups, messy reader
# input; see gen_cases.cpp), then on the benchmark decks of SIZES
# (default "10000 100000 1000000" MOSFETs; see gen_netlist.cpp). SEED
# (default 1) seeds both generators. For every input the exit status,
# standard output (CPU-time figures masked as tests/golden/run_case.sh masks
# them), netlist file and header file must be the same bytes. Prints a
# summary; exits 1 on any difference (the first differences are shown), 2 on
# a usage or build error.
set -uo pipefail

if [ $# -ne 2 ]; then
  sed -n '2,20p' "$0" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
count=${COUNT:-1000}
sizes=${SIZES:-10000 100000 1000000}
seed=${SEED:-1}
cache=${COMPARE_CACHE:-/tmp/extractor-compare}
cxx=${CXX:-g++}

# Path of a parser binary for a binary path or a revision.
parser_of() {
  if [ -f "$1" ] && [ -x "$1" ]; then
    (cd "$(dirname "$1")" && echo "$PWD/$(basename "$1")")
    return 0
  fi
  local sha
  sha=$(git -C "$root" rev-parse --verify --quiet "$1^{commit}") || {
    echo "compare.sh: '$1' is neither a parser binary nor a revision" >&2
    return 1
  }
  local dir=$cache/$sha lock
  mkdir -p "$cache" || return 1
  # Comparisons run side by side against one revision build it once.
  exec {lock}> "$dir.lock"
  flock "$lock"
  if [ ! -x "$dir/build/driver/parser" ]; then
    echo "building $1 ($sha) in $dir" >&2
    rm -rf "$dir" && mkdir -p "$dir/src" || return 1
    git -C "$root" archive "$sha" | tar -x -C "$dir/src" || return 1
    cmake -S "$dir/src" -B "$dir/build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF > "$dir/build.log" 2>&1 &&
      cmake --build "$dir/build" -j2 --target parser >> "$dir/build.log" 2>&1 || {
      echo "compare.sh: build of $1 failed, see $dir/build.log" >&2
      return 1
    }
  fi
  echo "$dir/build/driver/parser"
}

old=$(parser_of "$1") || exit 2
new=$(parser_of "$2") || exit 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/cases" "$work/a" "$work/b"

"$cxx" -std=c++20 -O2 -o "$work/gen_cases" "$root/bench/gen_cases.cpp" &&
  "$cxx" -std=c++20 -O2 -I "$root" -o "$work/gen_netlist" "$root/bench/gen_netlist.cpp" \
    $(ls "$root/bench/generator.cpp" 2> /dev/null) || exit 2
"$work/gen_cases" "$count" "$seed" "$work/cases" || exit 2

# Runs one binary on a case into DIR: status, masked stdout, both files.
run() {
  local parser=$1 in1=$2 in2=$3 dir=$4
  rm -f "$dir"/*
  "$parser" "$in1" "$in2" "$dir/netlist.v" "$dir/header.v" > "$dir/stdout.raw" 2> /dev/null
  echo $? > "$dir/status"
  sed -E -e 's/^((Gate gen |patt matching )?CPU time = )[-0-9.]+$/\1T/' \
         -e 's/^\t(User|System) [-0-9.]+/\t\1 T/' "$dir/stdout.raw" > "$dir/stdout"
  rm -f "$dir/stdout.raw"
}

compared=0 differing=0
check() {
  local name=$1 in1=$2 in2=$3 f
  run "$old" "$in1" "$in2" "$work/a" &
  run "$new" "$in1" "$in2" "$work/b"
  wait
  compared=$((compared + 1))
  for f in status stdout netlist.v header.v; do
    [ -e "$work/a/$f" ] || [ -e "$work/b/$f" ] || continue
    if ! cmp -s "$work/a/$f" "$work/b/$f"; then
      differing=$((differing + 1))
      if [ $differing -le 5 ]; then
        echo "DIFFERENT: $name ($f)"
        diff "$work/a/$f" "$work/b/$f" 2>&1 | head -10
      fi
      break
    fi
  done
}

for in1 in "$work"/cases/c*[0-9].sp; do
  check "case $(basename "$in1" .sp)" "$in1" "${in1%.sp}.lib.sp"
done
echo "generated cases: $compared compared, $differing different"

for size in $sizes; do
  "$work/gen_netlist" "$size" $((size / 100)) "$seed" "$work/deck.sp" "$work/deck.lib.sp" 2> /dev/null || exit 2
  before=$differing
  check "deck $size" "$work/deck.sp" "$work/deck.lib.sp"
  echo "deck of $size MOSFETs: $([ $differing -eq "$before" ] && echo same || echo DIFFERENT)"
done

echo "compared $compared inputs: $differing different"
[ $differing -eq 0 ]
