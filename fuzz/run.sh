#!/usr/bin/env bash
# Fuzzes the whole program with AFL++: the classic form on arbitrary
# first-input bytes (the second input holds the model cards), or the SPICE
# profile on an arbitrary netlist file. Two instances share one corpus: one
# built with AddressSanitizer and UBSan, one plain and about fifteen times
# faster; at the end every input either found is replayed through the
# sanitizer build, so what the fast one reaches is checked as well.
# Usage: fuzz/run.sh SECONDS [OUT_DIR] [classic|spice]   (from the project root)
# Needs the afl++ package (apt-get install afl++). Findings land in
# OUT_DIR/*/crashes and OUT_DIR/*/hangs; replay failures are listed at the end.
set -euo pipefail
seconds=${1:-1800}
out=${2:-fuzz-out}
target=${3:-classic}

build() {  # build DIR EXTRA_CMAKE_ARGS...
  local dir=$1
  shift
  CC=afl-clang-fast CXX=afl-clang-fast++ cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DEXTRACTOR_FUZZ=ON -DBUILD_TESTING=OFF "$@" > /dev/null
  cmake --build "$dir" -j2 --target parser > /dev/null
}
build build-fuzz -DEXTRACTOR_SANITIZE=ON
build build-fuzz-plain

seeds=$(mktemp -d)
models=build-fuzz/models.sp
printf '.model nmos nmos level=1 kp=5e-5 vto=0.7 lambda=0.02\n.model pmos pmos level=1 kp=2e-5 vto=-0.7 lambda=0.02\n' \
  > "$models"
mkdir -p "$out"
if [ "$target" = spice ]; then
  cp examples/spice/*.sp tests/spice/data/cells/spice/*.spice "$seeds"/
  dict=fuzz/spice.dict
  # Each instance writes its own netlist; the input is the only argument that varies.
  args() { echo "@@ -o $out/$1.v"; }
  replay_args() { echo "$1 -o $out/replay.v"; }
else
  cp examples/*.sp tests/golden/data/*.sp "$seeds"/
  dict=fuzz/netlist.dict
  args() { echo "@@ $models /dev/null /dev/null"; }
  replay_args() { echo "$1 $models /dev/null /dev/null"; }
fi

export AFL_SKIP_CPUFREQ=1 AFL_NO_AFFINITY=1 AFL_NO_UI=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1
export ASAN_OPTIONS=abort_on_error=1:symbolize=0:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1
run() {  # run NAME ROLE BUILD_DIR
  # shellcheck disable=SC2046
  afl-fuzz -i "$seeds" -o "$out" "$2" "$1" -x "$dict" -m none -t 2000 -V "$seconds" -- \
    "$3/driver/parser" $(args "$1") > "$out-$1.log" 2>&1 || true
}
run sanitized -M build-fuzz &
run plain -S build-fuzz-plain &
wait

failed=0
for f in "$out"/*/queue/id* "$out"/*/crashes/id* "$out"/*/hangs/id*; do
  [ -f "$f" ] || continue
  status=0
  # shellcheck disable=SC2046
  timeout 10 build-fuzz/driver/parser $(replay_args "$f") > /dev/null 2> "$out/replay.err" || status=$?
  # 0 is a full run, 1 the documented over-long lexeme (classic) or an
  # input error (SPICE profile).
  if [ "$status" -ne 0 ] && [ "$status" -ne 1 ]; then
    echo "replay failed ($status): $f"
    failed=$((failed + 1))
  fi
done
echo "crashes: $(cat "$out"/*/fuzzer_stats | awk '/saved_crashes/ {s += $3} END {print s + 0}')"
echo "hangs:   $(cat "$out"/*/fuzzer_stats | awk '/saved_hangs/ {s += $3} END {print s + 0}')"
echo "replay failures under the sanitizers: $failed"
