#!/usr/bin/env bash
# One run on one 348,000-record file: the reader alone, levelpanel-cli stats as a whole
# process and, where python3 has pandas (Debian: python3-pandas), the same statistics
# with pandas read_csv and numpy; medians of five runs each, and the ratio of pandas to
# levelpanel-cli stats.
#
#   bench/records/reader_vs_pandas.sh [BUILD_DIR]     (default: build)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
if [ ! -f "$build/build.ninja" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target bench_reader bench_cli_stats levelpanel-cli >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
file=$work/records-348000.sdm
"$build/bench/records/bench_reader" --write "$file"
echo "file: $(stat -c %s "$file") bytes, $(($(wc -l <"$file") - 1)) records"
cat "$file" >/dev/null  # every run reads it from the page cache

median() { sed -n 's/.*median \([0-9.]*\) ms.*/\1/p' | tail -1; }

echo "== reader alone (load into a record store)"
"$build/bench/records/bench_reader" "$file" | tee "$work/reader.txt"
echo "== levelpanel-cli stats, whole process"
"$build/bench/records/bench_cli_stats" "$file" | tee "$work/cli.txt"
"$build/src/cli/levelpanel-cli" stats "$file" | grep -E '^(Records|Leq|Lmax|Lmin|L10|L50|L90):' |
    tr -s ' ' | paste -sd ' '
cli=$(median <"$work/cli.txt")

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
echo "== pandas read_csv + numpy, the same figures (in one python process)"
"$python" bench/records/pandas_stats.py "$file" | tee "$work/pandas.txt"
pandas=$(median <"$work/pandas.txt")
echo "== pandas as a whole process (python start, import, read_csv + numpy)"
for run in 1 2 3 4 5; do
    start=$(date +%s%N)
    "$python" bench/records/pandas_stats.py --once "$file"
    echo "run $run: $((($(date +%s%N) - start) / 1000000)) ms"
done | tee "$work/pandas-process.txt"
process=$(sed -n 's/run [0-9]: \([0-9]*\) ms/\1/p' "$work/pandas-process.txt" | sort -n | sed -n 3p)
echo "pandas whole process: median $process ms of 5 runs"
awk -v p="$pandas" -v w="$process" -v c="$cli" 'BEGIN {
    printf "levelpanel-cli stats (whole process, %.1f ms) against pandas (goal >= 10x):\n", c
    printf "  read_csv + numpy inside python (%.1f ms): %.1fx\n", p, p / c
    printf "  pandas as a whole process (%.1f ms):      %.1fx\n", w, w / c }'
