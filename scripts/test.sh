#!/usr/bin/env bash
# Builds everything and runs every test: once in a normal build, then what an
# installation holds (the installed tree and the Debian package), once under
# AddressSanitizer and UndefinedBehaviorSanitizer, then the reader's fuzzer
# for a bounded time. Exits non-zero on the first failure; ends with a short
# summary of what ran.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/setup.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export CTEST_OUTPUT_ON_FAILURE=1

# A compiler cache, where there is one, makes a second run cheap.
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi

logs="$(mktemp -d "${TMPDIR:-/tmp}/qel-test.XXXXXX")"
trap 'rm -rf "$logs"' EXIT
summary=()
started=$SECONDS

# "100% tests passed, 0 tests failed out of 412" as "412 tests passed".
ctest_result() {
  sed -n 's/^100% tests passed, 0 tests failed out of \([0-9]*\).*/\1 tests passed/p' "$1" | tail -n 1
}

echo "== Layout of the C++ files =="
bash scripts/check_format.sh
summary+=("Layout:              every C++ file as .clang-format says")

echo "== Normal build =="
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQEL_BUILD_BENCH=ON "${launcher[@]}" >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build -j "$jobs" --timeout 600 | tee "$logs/normal.log"
summary+=("Normal build:        $(ctest_result "$logs/normal.log")")

echo "== Installation: installed tree and Debian package =="
bash scripts/check_install.sh build | tee "$logs/install.log"
summary+=("Installation:        tree and $(basename "$(grep -o '/[^ ]*\.deb$' "$logs/install.log" | tail -n 1)") checked")

echo "== Sanitizer build (ASan + UBSan) =="
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQEL_SANITIZE=ON -DQEL_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan -j "$jobs" --timeout 900 | tee "$logs/asan.log"
summary+=("ASan + UBSan build:  $(ctest_result "$logs/asan.log")")

if [ -f scripts/fuzz.sh ]; then
  echo "== Fuzzing the reader =="
  FUZZ_SECONDS="${FUZZ_SECONDS:-60}" bash scripts/fuzz.sh 2>&1 | tee "$logs/fuzz.log"
  runs="$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$logs/fuzz.log" | tail -n 1)"
  summary+=("Reader fuzzing:      ${runs:-?} runs in ${FUZZ_SECONDS:-60} s, no failure")
fi

echo
echo "== Summary =="
printf '%s\n' "${summary[@]}"
echo "All tests passed in $(((SECONDS - started) / 60)) min $(((SECONDS - started) % 60)) s."
