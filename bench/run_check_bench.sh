#!/usr/bin/env bash
# What the problem check adds to reading the definition of 1,050,625 map
# objects (1,051,625 lines), with 50 of its pictures beside it.
#
#   bench/run_check_bench.sh [BUILD_DIR]     (default build/, configured with
#                                             -DQEL_BUILD_BENCH=ON)
#
# Prints the time of `qeltool check` on the file end to end (pictures decoded
# with Qt where the tool has it), then the read and the check timed apart in
# one process with their ratio beside its aim (at most 1.5x: the check adds
# at most 50% to the read). Environment: RUNS (default 7), GRID_SIDE (1025).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
runs="${RUNS:-7}"
side="${GRID_SIDE:-1025}"
build="${1:-$root/build}"
[[ -d "$build" ]] || { echo "$0: no build folder '$build' (configure it with cmake first)" >&2; exit 2; }
build="$(cd "$build" && pwd)"

cmake --build "$build" --target qeltool make_definition check_bench --parallel 2 >/dev/null
work="$(mktemp -d "${TMPDIR:-/tmp}/qel-check-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT
input="$work/definition.ini"
"$build/bench/make_definition" "$input" "$side"

python3 - "$build/tools/qeltool/qeltool" "$input" "$work" "$runs" <<'PY'
import os, statistics, struct, subprocess, sys, time

qeltool, source, work, runs = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])

def bitmap(width, height):
    row = (width * 3 + 3) // 4 * 4
    return (b"BM" + struct.pack("<IHHI", 54 + row * height, 0, 0, 54)
            + struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, row * height, 0, 0, 0, 0)
            + bytes(row * height))

# The definition names its pictures graphics\tileN.bmp: on this system one
# file name each, beside the definition.
for i in range(50):
    with open(os.path.join(work, f"graphics\\tile{i}.bmp"), "wb") as f:
        f.write(bitmap(128, 64))

def run():
    started = time.perf_counter()
    done = subprocess.run([qeltool, "check", source], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    if done.returncode not in (0, 1):
        sys.exit(f"qeltool check failed ({done.returncode}): {done.stderr.decode(errors='replace')}")
    return time.perf_counter() - started

run()
times = [run() for _ in range(runs)]
print(f"qeltool check, end to end with 50 pictures: {statistics.median(times) * 1000:.1f} ms (median of {runs})")
PY
"$build/bench/check_bench" "$side" "$runs" 50
