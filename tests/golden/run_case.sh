#!/usr/bin/env bash
# Runs the extractor on one golden case and compares its netlist, header and
# standard output (CPU-time figures masked as T) byte for byte.
# Usage: run_case.sh PARSER DATA_DIR CASE [--update]
set -u
parser=$1 data=$2 case=$3 update=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

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

if [ "$update" = "--update" ]; then
  cp "$work/stdout" "$data/$case.stdout"
  cp "$work/netlist.v" "$data/$case.netlist.v"
  exit 0
fi

rc=0
diff -u "$data/$case.stdout" "$work/stdout" || rc=1
diff -u "$data/$case.netlist.v" "$work/netlist.v" || rc=1
cmp "$data/header.v" "$work/header.v" || rc=1
exit $rc
