#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ into ./build-fuzz (clang, ASan + UBSan), runs
# each for SECONDS (default 60) over its seed corpus, then replays the regression
# cases of fuzz/regressions/. Exits non-zero on any crash, leak, UB report or timeout;
# the input that did it is left in build-fuzz/artifacts/<target>/.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# New inputs the fuzzer finds go to build-fuzz/corpus/<target>/, never into the tree:
# copy one to fuzz/corpus/ (a good seed) or fuzz/regressions/ (it broke something).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(record_file live_frame memory_status set_table download typed_values level_stats
        meter_link)
fi

# -g1: line tables for the reports, without the rest of the debug information.
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
    -DCMAKE_CXX_COMPILER=clang++ -DLP_FUZZ=ON >/dev/null
cmake --build build-fuzz --parallel "$(nproc)" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export QT_QPA_PLATFORM=offscreen

# A linear path takes well under a second on a 1 MiB input even under the sanitizers;
# one input taking longer than this is reported as a fault (a quadratic path).
per_input_timeout=20
failed=()
summary=()
mkdir -p build-fuzz/logs
for t in "${targets[@]}"; do
    exe=build-fuzz/fuzz/fuzz_$t
    work=build-fuzz/corpus/$t
    artifacts=build-fuzz/artifacts/$t/
    log=build-fuzz/logs/$t.log
    mkdir -p "$work" "$artifacts"
    status=ok
    execs=0
    if [ "$seconds" -gt 0 ]; then
        echo "== fuzz_$t: ${seconds}s"
        if ! "$exe" -max_len=1048576 -timeout=$per_input_timeout -rss_limit_mb=2560 \
            -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$artifacts" \
            "$work" "fuzz/corpus/$t" >"$log" 2>&1; then
            status=FAILED
        fi
        execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    fi
    if [ -d "fuzz/regressions/$t" ]; then
        echo "== fuzz_$t: regression cases"
        if ! "$exe" -timeout=$per_input_timeout -rss_limit_mb=2560 \
            -artifact_prefix="$artifacts" fuzz/regressions/"$t"/* >>"$log" 2>&1; then
            status=FAILED
        fi
    fi
    if [ "$status" != ok ]; then
        failed+=("$t")
        tail -n 60 "$log" >&2
    fi
    summary+=("$(printf '%-14s %-6s %12s executions' "$t" "$status" "${execs:-0}")")
done

printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -ne 0 ]; then
    echo "Fuzzing found faults in: ${failed[*]} (logs in build-fuzz/logs/)" >&2
    exit 1
fi
