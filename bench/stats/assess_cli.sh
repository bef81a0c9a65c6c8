#!/usr/bin/env bash
# A week of 1 s records in seven daily files (604,800 records, written by bench_survey):
# each `levelpanel-cli assess METHOD` as a whole process, median wall time of 5 runs,
# output thrown away. Goal: each <= 100 ms.
#
# Run by hand, not by CI:
#   bench/stats/assess_cli.sh [BUILD_DIR]     (default: build)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
if [ ! -f "$build/build.ninja" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target bench_survey levelpanel-cli >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/stats/bench_survey" "$work/week" >/dev/null
files=("$work"/week/*.sdm)
echo "files: ${#files[@]}, $(cat "${files[@]}" | wc -l) lines"
cat "${files[@]}" >/dev/null  # every run reads them from the page cache

cli=$build/src/cli/levelpanel-cli
# Median wall time in ms of five runs of a command, its output thrown away.
timed() {
    local run start
    for run in 1 2 3 4 5; do
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1
        echo $((($(date +%s%N) - start) / 1000))
    done | sort -n | sed -n 3p | awk '{ printf "%.1f", $1 / 1000 }'
}

residual=()
for file in "${files[@]:0:3}"; do
    residual+=(--residual "$file")
done
row() {
    printf '%-58s %8s ms\n' "$1" "$(timed "${@:2}")"
}
echo "== levelpanel-cli assess, whole process, median of 5"
row "background --rbl" "$cli" assess background --rbl "${files[@]}"
row "background --json" "$cli" assess background --json "${files[@]}"
row "rating --tonal 4 --residual (3 of the days)" \
    "$cli" assess rating --tonal 4 --reason tone "${residual[@]}" "${files[@]}"
row "exposure" "$cli" assess exposure --weighting A "${files[@]}"
row "exposure --shift 07:00-15:30" "$cli" assess exposure --weighting A --shift 07:00-15:30 "${files[@]}"
row "events --above 90" "$cli" assess events --above 90 "${files[@]}"
row "limits (3 rules) --guideline who-road" "$cli" assess limits \
    --limit laeq,15min,23-07,45 --limit lmax,15min,23-07,60 --limit l90,1h,07-23,50 \
    --guideline who-road "${files[@]}"
