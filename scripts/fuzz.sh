#!/usr/bin/env bash
# Builds the reader fuzzer with clang in its own build folder and runs it for
# a bounded time over a copy of the committed seed corpus (the corpus in the
# repository is never grown). Exits non-zero when the fuzzer finds a crash, a
# sanitizer report or a broken round trip.
#
#   scripts/fuzz.sh [BUILD_DIR]     (default build-fuzz/)
#
# Environment: FUZZ_SECONDS (default 60) total running time.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build-fuzz}"
seconds="${FUZZ_SECONDS:-60}"
cxx="${FUZZ_CXX:-clang++}"

command -v "$cxx" >/dev/null || { echo "fuzz.sh: $cxx not found (install clang)" >&2; exit 1; }

generator=()
command -v ninja >/dev/null && [[ ! -f "$build/Makefile" ]] && generator=(-G Ninja)
command -v ccache >/dev/null && generator+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" "${generator[@]}" \
    -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQEL_BUILD_FUZZ=ON -DQEL_BUILD_UI=OFF -DQEL_BUILD_BENCH=OFF >/dev/null
nice cmake --build "$build" --target reader_fuzz --parallel 2

work="$(mktemp -d "${TMPDIR:-/tmp}/qel-fuzz.XXXXXX")"
# Every run rewrites its input file: on a disk each rewrite waits for the
# disk (a tenth of the speed), in memory it does not.
scratch="$work/tmp"
[[ -d /dev/shm && -w /dev/shm ]] && scratch="$(mktemp -d /dev/shm/qel-fuzz.XXXXXX)"
trap 'rm -rf "$work" "$scratch"' EXIT
mkdir -p "$work/corpus" "$build/fuzz-artifacts"
cp "$root/fuzz/corpus/"* "$work/corpus/"

echo "fuzz.sh: running reader_fuzz for ${seconds}s; crash inputs go to $build/fuzz-artifacts/"
status=0
mkdir -p "$scratch"
TMPDIR="$scratch" nice "$build/fuzz/reader_fuzz" "$work/corpus" \
    -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 -max_len=4096 \
    -artifact_prefix="$build/fuzz-artifacts/" -print_final_stats=1 || status=$?
if [[ $status -ne 0 ]]; then
    echo "fuzz.sh: FAILED (exit $status); reproduce with: $build/fuzz/reader_fuzz $build/fuzz-artifacts/<file>" >&2
    exit "$status"
fi
echo "fuzz.sh: no failure in ${seconds}s"
