#!/usr/bin/env bash
# Fuzzes the whole program with AFL++ on arbitrary first-input bytes (the
# second input holds the model cards), under AddressSanitizer and UBSan.
# Usage: fuzz/run.sh SECONDS [OUT_DIR]     (from the project root)
# Needs the afl++ package (apt-get install afl++). Findings land in
# OUT_DIR/default/crashes and OUT_DIR/default/hangs.
set -euo pipefail
seconds=${1:-1800}
out=${2:-fuzz-out}
build=build-fuzz

CC=afl-clang-fast CXX=afl-clang-fast++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DEXTRACTOR_FUZZ=ON -DEXTRACTOR_SANITIZE=ON -DBUILD_TESTING=OFF > /dev/null
cmake --build "$build" -j2 --target parser > /dev/null

seeds=$(mktemp -d)
cp examples/*.sp tests/golden/data/*.sp "$seeds"/
printf '.model nmos nmos level=1 kp=5e-5 vto=0.7 lambda=0.02\n.model pmos pmos level=1 kp=2e-5 vto=-0.7 lambda=0.02\n' \
  > "$build/models.sp"

export AFL_SKIP_CPUFREQ=1 AFL_NO_AFFINITY=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1
export ASAN_OPTIONS=abort_on_error=1:symbolize=0:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1
afl-fuzz -i "$seeds" -o "$out" -x fuzz/netlist.dict -m none -t 2000 -V "$seconds" -- \
  "$build/driver/parser" @@ "$build/models.sp" /dev/null /dev/null > "$out.log" 2>&1 || true
echo "crashes: $(ls "$out"/default/crashes 2>/dev/null | grep -vc README || true)"
echo "hangs:   $(ls "$out"/default/hangs 2>/dev/null | wc -l)"
