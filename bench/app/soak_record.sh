#!/usr/bin/env bash
# An unattended recording under strain: `levelpanel-cli record --every 1 --rotate daily`
# against the paced simulator (real 9600-baud timing) for MINUTES minutes, its clock set
# to start five minutes before midnight so the run crosses into a new day. The simulator
# is killed (SIGKILL) and restarted at the same path twice. At the end the recording gets
# SIGTERM, and the script prints the samples expected (one a second from the first line
# to the last) against those written, and every gap with its length.
#
#   bench/app/soak_record.sh [BUILD_DIR] [MINUTES]     (defaults: build 10)
set -euo pipefail

build=${1:-build}
minutes=${2:-10}
cli=$build/src/cli/levelpanel-cli
sim=$build/tools/levelpanel-sim
[[ -x $cli && -x $sim ]] || { echo "build levelpanel-cli and levelpanel-sim first" >&2; exit 1; }

work=$(mktemp -d)
meter=$work/meter
total=$((minutes * 60))
sim_pid=
cli_pid=
cleanup() {
    [[ -n $cli_pid ]] && kill -TERM "$cli_pid" 2>/dev/null || true
    [[ -n $sim_pid ]] && kill -KILL "$sim_pid" 2>/dev/null || true
}
trap cleanup EXIT

start_sim() {
    "$sim" --paced --link "$meter" >"$work/sim.out" 2>&1 &
    sim_pid=$!
    for _ in $(seq 50); do [[ -e $meter ]] && return; sleep 0.1; done
    echo "the simulator did not come up" >&2
    exit 1
}
kill_sim() {
    kill -KILL "$sim_pid"
    wait "$sim_pid" 2>/dev/null || true
    sim_pid=
    echo "$(date +%T) simulator killed"
}

start_sim
LP_CLI_FAKE_START="$(date +%F)T23:55:00" \
    "$cli" record --port "$meter" --every 1 --out "$work/soak.sdm" --rotate daily \
    >"$work/cli.out" 2>"$work/cli.err" &
cli_pid=$!
began=$(date +%s)
echo "$(date +%T) recording for $minutes min into $work"

at() { local until=$((began + $1)); while (($(date +%s) < until)); do sleep 0.2; done; }
at $((total * 3 / 10)); kill_sim
at $((total * 3 / 10 + 20)); start_sim; echo "$(date +%T) simulator restarted"
at $((total * 6 / 10)); kill_sim
at $((total * 6 / 10 + 30)); start_sim; echo "$(date +%T) simulator restarted"
at "$total"
kill -TERM "$cli_pid"
status=0
wait "$cli_pid" || status=$?
cli_pid=

echo "exit status: $status"
echo "--- stdout"; cat "$work/cli.out"
echo "--- stderr"; cat "$work/cli.err"
python3 - "$work" <<'PY'
import datetime, glob, sys
stamps = []
files = sorted(glob.glob(sys.argv[1] + "/soak*.sdm"))
for name in files:
    with open(name, newline="") as f:
        for line in f:
            fields = line.split("\t")
            if fields[0] != "No.s":
                stamps.append(datetime.datetime.strptime(fields[1], "%Y/%m/%d %H:%M:%S"))
print("files:", ", ".join(n.rsplit("/", 1)[1] for n in files))
expected = int((stamps[-1] - stamps[0]).total_seconds()) + 1
print(f"samples expected {expected}, written {len(stamps)}, missing {expected - len(stamps)}")
for a, b in zip(stamps, stamps[1:]):
    step = int((b - a).total_seconds())
    if step != 1:
        print(f"gap after {a:%H:%M:%S}: {step - 1} sample(s) not taken ({step} s between lines)")
PY
