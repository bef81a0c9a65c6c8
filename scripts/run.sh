#!/usr/bin/env bash
# Installs what is missing, builds the two programs and the simulator that serves the
# meter on a pseudo-terminal (build/tools/levelpanel-sim; not the tests and benchmarks)
# and starts LevelPanel; arguments go to it (e.g. --port sim for the simulated meter).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --parallel "$(nproc)" --target levelpanel levelpanel-cli levelpanel-sim
exec build/src/app/levelpanel "$@"
