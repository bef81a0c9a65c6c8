#!/usr/bin/env bash
# Takes the user guide's pictures of the windows (docs/images/*.png): builds
# levelpanel-screenshots, runs it on the simulated meter under the offscreen platform,
# then makes each PNG small (pngquant's 64 colours, then optipng).
#
#   scripts/screenshots.sh [build]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
for tool in pngquant optipng; do
    command -v "$tool" >/dev/null || { echo "screenshots.sh: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done
cmake --build "$build" --parallel "$(nproc)" --target levelpanel-screenshots
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
QT_QPA_PLATFORM=offscreen "$build/tools/levelpanel-screenshots" "$out" >/dev/null
mkdir -p docs/images
for png in "$out"/*.png; do
    pngquant --force --strip 64 --output "docs/images/$(basename "$png")" "$png"
    optipng -quiet -o5 "docs/images/$(basename "$png")"
done
ls -l docs/images
