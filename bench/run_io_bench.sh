#!/usr/bin/env bash
# Times qeltool on a definition of 1,050,625 map objects against the plain
# file tools on the same file, and checks the required figures.
#
#   bench/run_io_bench.sh [BUILD_DIR]            measure (default build/)
#   bench/run_io_bench.sh generate OUT [BUILD_DIR]  only write the input file
#
# Environment: RUNS (default 7) timed runs per command, after one warm-up run,
# interleaved so that all commands see the same machine load; GRID_SIDE
# (default 1025) for a smaller file while developing (the limits are set for
# the full size: on a small file the fixed start-up memory dominates).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
runs="${RUNS:-7}"
side="${GRID_SIDE:-1025}"

mode=measure
if [[ "${1:-}" == generate ]]; then
    mode=generate
    shift
    [[ $# -ge 1 ]] || { echo "usage: $0 generate OUT [BUILD_DIR]" >&2; exit 2; }
    out_file="$1"
    shift
fi
build="${1:-$root/build}"
[[ -d "$build" ]] || { echo "$0: no build folder '$build' (configure it with cmake first)" >&2; exit 2; }
build="$(cd "$build" && pwd)"

cmake --build "$build" --target qeltool make_definition --parallel 2 >/dev/null
qeltool="$build/tools/qeltool/qeltool"
make_definition="$build/bench/make_definition"

if [[ $mode == generate ]]; then
    exec "$make_definition" "$out_file" "$side"
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/qel-io-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT
input="$work/definition.ini"
"$make_definition" "$input" "$side"

python3 - "$qeltool" "$input" "$work" "$runs" <<'PY'
import os, resource, statistics, subprocess, sys, time

qeltool, source, work, runs = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
format_out = os.path.join(work, "formatted.ini")
copy_out = os.path.join(work, "copied.ini")

commands = {
    "wc": ["wc", "-l", source],
    "check": [qeltool, "check", source],
    "cp": ["cp", source, copy_out],
    "format": [qeltool, "format", source, "-o", format_out],
}

def run(name):
    started = time.perf_counter()
    done = subprocess.run(commands[name], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    elapsed = time.perf_counter() - started
    if done.returncode != 0:
        sys.exit(f"{' '.join(commands[name])} failed ({done.returncode}): {done.stderr.decode(errors='replace')}")
    return elapsed

# Peak memory first, in a child of its own, so no other command's peak
# counts (RUSAGE_CHILDREN keeps the largest child seen so far).
peak_probe = ("import resource, subprocess, sys\n"
              "subprocess.run(sys.argv[1:], check=True)\n"
              "print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)\n")
peak_kib = int(subprocess.run([sys.executable, "-c", peak_probe] + commands["format"],
                              check=True, capture_output=True, text=True).stdout)

with open(source, "rb") as f:
    data = f.read()
object_lines = 0
section = None
for line in data.split(b"\n"):
    line = line.rstrip(b"\r")
    low = line.lower()
    if low.startswith(b"[mapobjects]") or low.startswith(b"[screenobjects]"):
        section = "objects"
    elif low.startswith(b"[objectimages]"):
        section = "images"
    elif section == "objects" and line and not line.startswith(b";"):
        object_lines += 1

for name in commands:  # warm-up: the file in the page cache, binaries loaded
    run(name)
times = {name: [] for name in commands}
for _ in range(runs):
    for name in commands:
        times[name].append(run(name))
median = {name: statistics.median(values) for name, values in times.items()}

failed = False
def figure(label, value, limit, unit, detail):
    global failed
    ok = value <= limit
    failed |= not ok
    print(f"{'PASS' if ok else 'FAIL'}  {label:<34} {value:8.1f}{unit}  (limit {limit:g}{unit}; {detail})")

size_mib = len(data) / 2**20
print(f"input: {object_lines:,} object lines, {size_mib:.1f} MiB; median of {runs} runs")
print(f"  wc -l          {median['wc'] * 1000:8.1f} ms")
print(f"  qeltool check  {median['check'] * 1000:8.1f} ms")
print(f"  cp             {median['cp'] * 1000:8.1f} ms")
print(f"  qeltool format {median['format'] * 1000:8.1f} ms")
figure("check / wc -l", median["check"] / median["wc"], 30, "x", "ratio of medians")
figure("format / cp", median["format"] / median["cp"], 40, "x", "ratio of medians")
figure("peak memory per object line", peak_kib * 1024 / object_lines, 150, " B",
       f"peak RSS of format {peak_kib / 1024:.1f} MiB")

same = subprocess.run(["cmp", "-s", source, format_out]).returncode == 0
failed |= not same
print(f"{'PASS' if same else 'FAIL'}  format output byte-identical to its input")
sys.exit(1 if failed else 0)
PY
