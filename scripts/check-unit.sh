#!/usr/bin/env bash
# The systemd units (the logger's, the collector's), as systemd-analyze security rates
# their sandboxes offline (no running systemd needed): each one's overall exposure must
# stay below 2.5 ("OK").
#   scripts/check-unit.sh [UNIT.in ...]      (default: every packaging/*.service.in)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -eq 0 ]; then
    set -- packaging/*.service.in
fi
limit=2.5

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for unit_in in "$@"; do
    unit="$work/$(basename "$unit_in" .in)"
    sed -e 's|@LP_BIN_DIR@|/usr/bin|g' -e 's|@LP_DOC_DIR@|/usr/share/doc/levelpanel|g' \
        "$unit_in" >"$unit"

    report=$(systemd-analyze security --offline=true "$unit" 2>&1) || {
        echo "$report"
        echo "check-unit: systemd-analyze security could not rate $unit_in"
        exit 1
    }
    exposure=$(sed -n 's/.*Overall exposure level for .*: \([0-9.]*\) .*/\1/p' <<<"$report")
    if [ -z "$exposure" ]; then
        echo "$report"
        echo "check-unit: no overall exposure in the report for $unit_in"
        exit 1
    fi
    if awk -v e="$exposure" -v l="$limit" 'BEGIN { exit !(e < l) }'; then
        echo "check-unit: $unit_in exposure $exposure (below $limit)"
    else
        grep '✗' <<<"$report" || true
        echo "check-unit: $unit_in exposure $exposure, not below $limit"
        exit 1
    fi
done
