#!/usr/bin/env bash
# Configures and builds LevelPanel into ./build; extra arguments go to cmake's
# configure step (scripts/test.sh passes -DLP_WERROR=ON).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build build --parallel "$(nproc)"
