#!/usr/bin/env bash
# Fails when a C++ file of the tree differs from what clang-format (.clang-format) makes
# of it; prints the places. Fix with: clang-format -i FILE...
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if ! clang-format --dry-run -Werror "${files[@]}"; then
    echo "Format check: run clang-format -i on the files above." >&2
    exit 1
fi
echo "Format check: every C++ file is clang-formatted."
