#!/usr/bin/env bash
# levelpanel-cli export against levelpanel-cli stats on the same record file, both as
# whole processes: wall time and CPU time (user + system) as medians of five runs, and
# the peak memory of the largest run, on the 348,000-record file (about 12 MB) and on
# one of 3,000,000 records (about 100 MB). The goals: export in at most twice the time
# of stats, its memory flat in the file's size.
#
# Each export writes a CSV file that does not exist yet (the one before is removed
# between runs, outside the timing): replacing an existing CSV also frees the old
# file's blocks, which takes the file system a while more for a large one. An export
# ends with the CSV flushed to the disk (the whole-file replace waits for that before
# the CSV takes its name); the figures include that wait.
#
#   bench/records/export_vs_stats.sh [BUILD_DIR]     (default: build)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
if [ ! -f "$build/build.ninja" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target bench_reader levelpanel-cli >/dev/null
cli=$build/src/cli/levelpanel-cli

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# times OUT COMMAND...: five runs of the command under /usr/bin/time (its output thrown
# away), the CSV OUT removed before each; prints the medians and the largest peak.
times() {
    python3 - "$@" <<'EOF'
import os, statistics, subprocess, sys, time
out, command = sys.argv[1], sys.argv[2:]
wall, cpu, peak = [], [], []
for _ in range(5):
    if os.path.exists(out):
        os.remove(out)
    # GNU time reports the command's own peak (a child of Python would count Python's
    # pages from before the command started); its own share of the times is small.
    start = time.perf_counter()
    child = subprocess.Popen(["/usr/bin/time", "-f", "%M", "-o", out + ".peak"] + command,
                             stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    wall.append((time.perf_counter() - start) * 1000)
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{command[1]} failed")
    cpu.append((usage.ru_utime + usage.ru_stime) * 1000)
    with open(out + ".peak") as f:
        peak.append(int(f.read().split()[-1]) / 1024)
print(f"{statistics.median(wall):.1f} {statistics.median(cpu):.1f} {max(peak):.1f}")
EOF
}

for records in 348000 3000000; do
    file=$work/records-$records.sdm
    "$build/bench/records/bench_reader" --write "$file" "$records"
    cat "$file" >/dev/null  # every run reads it from the page cache
    read -r sw sc sp < <(times "$work/out.csv" "$cli" stats "$file")
    read -r ew ec ep < <(times "$work/out.csv" "$cli" export "$file" --csv "$work/out.csv")
    printf '== %d records, %.1f MB\n' "$records" "$(stat -c %s "$file")e-6"
    printf 'stats:  wall %7.1f ms  cpu %7.1f ms  peak %5.1f MiB\n' "$sw" "$sc" "$sp"
    printf 'export: wall %7.1f ms  cpu %7.1f ms  peak %5.1f MiB\n' "$ew" "$ec" "$ep"
    awk -v ew="$ew" -v sw="$sw" -v ec="$ec" -v sc="$sc" \
        'BEGIN { printf "export / stats (goal <= 2): wall %.2f, cpu %.2f\n", ew / sw, ec / sc }'
done
