#!/usr/bin/env bash
# Times qeltool on a definition of 1,050,625 map objects (1,051,625 lines)
# against the plain file tools on the same file: check against wc -l (reading
# at the speed of memory), format against a copy that syncs its output (the
# floor for a save that must reach the disk), and check's peak memory per line.
#
#   bench/run_io_bench.sh [BUILD_DIR]            measure (default build/)
#   bench/run_io_bench.sh generate OUT [BUILD_DIR]  only write the input file
#
# Environment: RUNS (default 9) timed runs per command, after one warm-up run,
# interleaved so that all commands see the same machine load; GRID_SIDE
# (default 1025) for a smaller file while developing (the limits are set for
# the full size: on a small file the fixed start-up memory dominates).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
runs="${RUNS:-9}"
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
    "dd": ["dd", f"if={source}", f"of={copy_out}", "bs=1M", "conv=fsync", "status=none"],
    "format": [qeltool, "format", source, "-o", format_out],
}

def run(name):
    started = time.perf_counter()
    done = subprocess.run(commands[name], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    elapsed = time.perf_counter() - started
    # check exits 1 when it found errors (the generated file names pictures it does not come with).
    if done.returncode != 0 and not (name == "check" and done.returncode == 1):
        sys.exit(f"{' '.join(commands[name])} failed ({done.returncode}): {done.stderr.decode(errors='replace')}")
    return elapsed

# Peak memory of each verb in a child of its own, so no other command's peak
# counts (RUSAGE_CHILDREN keeps the largest child seen so far).
peak_probe = ("import resource, subprocess, sys\n"
              "subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL)\n"
              "print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)\n")
def peak_kib(name):
    return int(subprocess.run([sys.executable, "-c", peak_probe] + commands[name],
                              check=True, capture_output=True, text=True).stdout)
peak = {name: peak_kib(name) for name in ("check", "format")}

with open(source, "rb") as f:
    data = f.read()
lines = data.count(b"\n") + (0 if data.endswith(b"\n") else 1)

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
    print(f"{'PASS' if ok else 'FAIL'}  {label:<34} {value:8.2f}{unit}  (aim <= {limit:g}{unit}; {detail})")

size_mb = len(data) / 1e6
print(f"input: {lines:,} lines, {size_mb:.1f} MB; median of {runs} interleaved runs")
for name, label in (("wc", "wc -l"), ("check", "qeltool check"), ("dd", "dd bs=1M conv=fsync"),
                    ("format", "qeltool format")):
    print(f"  {label:<22} {median[name] * 1000:8.1f} ms")
figure("check / wc -l", median["check"] / median["wc"], 10, "x", "ratio of medians")
figure("format / dd conv=fsync", median["format"] / median["dd"], 3, "x", "ratio of medians")
figure("check peak memory per line", peak["check"] * 1024 / lines, 80, " B",
       f"peak RSS {peak['check'] / 1024:.1f} MiB")
print(f"      format peak memory per line  {peak['format'] * 1024 / lines:8.2f} B  "
      f"(peak RSS {peak['format'] / 1024:.1f} MiB)")

same = subprocess.run(["cmp", "-s", source, format_out]).returncode == 0
failed |= not same
print(f"{'PASS' if same else 'FAIL'}  format output byte-identical to its input")
sys.exit(1 if failed else 0)
PY
