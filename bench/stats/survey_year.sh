#!/usr/bin/env bash
# A year of 1 s records in 365 daily files (31,536,000 records, written by bench_survey
# --write-year): levelpanel-cli periods --every 1h, lden and events --above 90, each as
# a whole process, its wall time and peak memory (/usr/bin/time), and, where python3
# has pandas, the same periods with pandas as a whole process beside them. Goals: each
# command <= 1 s and <= 100 MB.
#
# Run by hand, not by CI (the files take about 1 GB; pandas about 5 GB of memory).
#
#   bench/stats/survey_year.sh [BUILD_DIR [DIR]]   (default: build; DIR keeps the files)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
cmake --build "$build" --target bench_survey levelpanel-cli >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dir=${2:-$work/year}
if [ ! -f "$dir/2010-05-31.sdm" ]; then
    "$build/bench/stats/bench_survey" --write-year "$dir"
fi
files=("$dir"/*.sdm)
echo "files: ${#files[@]}, $(cat "${files[@]}" | wc -c) bytes"
cat "${files[@]}" >/dev/null  # every run reads them from the page cache

cli=$build/src/cli/levelpanel-cli
# "wall s, peak MB" of one run of a command, its output thrown away.
measured() {
    /usr/bin/time -f '%e %M' -o "$work/time" "$@" >/dev/null
    awk '{ printf "%.2f s, %.0f MB", $1, $2 / 1024 }' "$work/time"
}
for run in 1 2 3; do
    echo "== run $run"
    echo "periods --every 1h: $(measured "$cli" periods --every 1h "${files[@]}")"
    echo "lden:               $(measured "$cli" lden "${files[@]}")"
    echo "events --above 90:  $(measured "$cli" events --above 90 "${files[@]}")"
done
python=""
for candidate in python3 /usr/bin/python3; do
    if command -v "$candidate" >/dev/null && "$candidate" -c 'import pandas, numpy' 2>/dev/null; then
        python=$candidate
        break
    fi
done
if [ -n "$python" ]; then
    echo "pandas read_csv + resample('1h'), whole process: $(measured "$python" \
        bench/stats/pandas_survey.py --once "${files[@]}")"
else
    echo "pandas: not installed (apt-get install python3-pandas), skipped"
fi
