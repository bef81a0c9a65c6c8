#!/usr/bin/env bash
# A week of 1 s records in seven daily files (604,800 records, written by bench_survey):
# levelpanel-cli periods --every 1h, lden and events --above 90 each as a whole process
# (median of 5 runs, wall time), and, where python3 has pandas, read_csv of the seven
# files + resample('1h') with Leq, Lmax, Lmin and quantiles, inside python and as a
# whole process, with the ratios to periods. Goals: each command <= 60 ms, and >= 20x
# faster than pandas.
#
# Run by hand, not by CI. pandas is needed only here (Debian: python3-pandas, not in
# scripts/install-deps.sh); without it that part is skipped.
#
#   bench/stats/survey_cli_vs_pandas.sh [BUILD_DIR]     (default: build)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
if [ ! -f "$build/build.ninja" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target bench_survey levelpanel-cli >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "== the survey core in one process (bench_survey, which writes the week)"
"$build/bench/stats/bench_survey" "$work/week"
files=("$work"/week/*.sdm)
echo "files: ${#files[@]}, $(cat "${files[@]}" | wc -c) bytes"
cat "${files[@]}" >/dev/null  # every run reads them from the page cache

cli=$build/src/cli/levelpanel-cli
# Median wall time in ms of five runs of a command, its output thrown away.
timed() {
    local run start
    for run in 1 2 3 4 5; do
        start=$(date +%s%N)
        "$@" >/dev/null
        echo $((($(date +%s%N) - start) / 1000))
    done | sort -n | sed -n 3p | awk '{ printf "%.1f", $1 / 1000 }'
}

echo "== levelpanel-cli, whole process, median of 5"
periods=$(timed "$cli" periods --every 1h "${files[@]}")
lden=$(timed "$cli" lden "${files[@]}")
events=$(timed "$cli" events --above 90 "${files[@]}")
echo "periods --every 1h: $periods ms ($("$cli" periods --every 1h --csv "${files[@]}" |
    tail -n +2 | wc -l) periods)"
echo "lden:               $lden ms"
echo "events --above 90:  $events ms ($("$cli" events --above 90 --csv "${files[@]}" |
    tail -n +2 | wc -l) events)"
"$cli" periods --every 1h --csv "${files[@]}" | sed -n 2p

python=""
for candidate in python3 /usr/bin/python3; do
    if command -v "$candidate" >/dev/null && "$candidate" -c 'import pandas, numpy' 2>/dev/null; then
        python=$candidate
        break
    fi
done
if [ -z "$python" ]; then
    echo "== pandas: not installed (apt-get install python3-pandas), skipped"
    exit 0
fi
echo "== pandas read_csv + resample('1h') (in one python process)"
"$python" bench/stats/pandas_survey.py "${files[@]}" | tee "$work/pandas.txt"
pandas=$(sed -n 's/.*median \([0-9.]*\) ms.*/\1/p' "$work/pandas.txt")
process=$(timed "$python" bench/stats/pandas_survey.py --once "${files[@]}")
echo "pandas whole process: median $process ms of 5 runs"
awk -v p="$pandas" -v w="$process" -v c="$periods" 'BEGIN {
    printf "levelpanel-cli periods --every 1h (whole process, %.1f ms) against pandas (goal >= 20x):\n", c
    printf "  read_csv + resample inside python (%.1f ms): %.1fx\n", p, p / c
    printf "  pandas as a whole process (%.1f ms):        %.1fx\n", w, w / c }'
