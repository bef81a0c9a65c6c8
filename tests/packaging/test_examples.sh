#!/usr/bin/env bash
# The example surveys installed with the user guide, read by levelpanel-cli as a user of
# the package reads them: a week of whole days at one record a second, A weighting on FAST
# by their metadata; the rating example's plant running for an hour from 14:00 at 45.0 dB
# and off for the half hour after at 40.0 dB; the worked assessments' surveys with the
# records their stories tell of.
#   test_examples.sh LEVELPANEL-CLI EXAMPLES-DIR
set -uo pipefail
cli=$1
dir=$2
failed=0
expect() {  # expect DESCRIPTION EXPECTED ACTUAL
    if [[ $2 != "$3" ]]; then
        printf 'FAIL: %s\nexpected:\n%s\nactual:\n%s\n' "$1" "$2" "$3"
        failed=1
    fi
}

days=""
for d in 1 2 3 4 5 6 7; do
    days+="2026-12-0${d}T00:00:00,86400,1.000"$'\n'
done
expect "the week: seven whole days, one record a second" "${days%$'\n'}" \
    "$("$cli" periods --csv --every 24h "$dir"/week/log-2026-12-0*.sdm | tail -n +2 | cut -d, -f1,3,4)"
expect "the week's metadata: A weighting on FAST" 1 \
    "$("$cli" periods --every 24h "$dir"/week/log-2026-12-01.sdm | grep -c ' LAeq,24h  LAFmax  LAFmin ')"
expect "the plant running: an hour at LAeq 45.0 dB" \
    "2026-06-10T14:00:00,3600,1.000,45.0,45.0,45.0" \
    "$("$cli" periods --csv --every 1h "$dir"/rating/plant-on.sdm | tail -n +2 | cut -d, -f1,3-7)"
expect "the plant off: the half hour after at LAeq 40.0 dB" \
    "2026-06-10T15:00:00,1800,0.500,40.0,40.0,40.0" \
    "$("$cli" periods --csv --every 1h "$dir"/rating/plant-off.sdm | tail -n +2 | cut -d, -f1,3-7)"
# The garden: 3 days at 6 a minute less the 70 minutes the meter was off; the workshop:
# 8.5 h shifts; the bedroom: 14 h at one a second; the night: 15 h less a 20 minute pause.
expect "the worked assessments' records" "$(printf 'Records:  %s\n' 25500 3060 3060 50400 5280)" \
    "$("$cli" stats "$dir"/assess/{garden,workshop-mon,workshop-tue,bedroom,night}.sdm | grep '^Records:')"
exit $failed
