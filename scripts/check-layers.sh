#!/usr/bin/env bash
# Fails on any #include that points up the layer order of src/, or sideways between
# folders of one layer that are not meant to know each other. Prints every offending line.
#
#   platform  ->  link, records, stats, assess, sim  ->  live  ->  panel, memory, lists, charts, remote, survey  ->  app, cli
#
# app (the windows' start-up and session) and cli (the command line) are two shells over
# the same cores: neither includes the other.
# Within a layer only these are allowed: stats and sim may use records and link, the
# assessments the survey's statistics and the records, and
# the memory windows may use the record-list windows, and the survey windows and report
# the charts. tools/ may use platform, link, records and sim (the example surveys are
# record files); tools/screenshots, which pictures
# the windows for the user guide, sits above app and may use any folder.
set -euo pipefail
cd "$(dirname "$0")/.."

rank() {
    case "$1" in
        platform) echo 0 ;;
        link | records | stats | assess | sim) echo 1 ;;
        live) echo 2 ;;
        panel | memory | lists | charts | remote | survey) echo 3 ;;
        app | cli) echo 4 ;;
        *) echo -1 ;;
    esac
}

allowed_sideways() {
    case "$1>$2" in
        "stats>records" | "assess>stats" | "assess>records" | "sim>link" | "memory>lists" | "survey>charts") return 0 ;;
        *) return 1 ;;
    esac
}

bad=0
while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    text=${rest#*:}
    target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^/"]+)\/.*$/\1/' <<<"$text")
    if [[ $file == tools/screenshots/* ]]; then
        continue
    fi
    if [[ $file == tools/* ]]; then
        case "$target" in
            platform | link | records | sim) continue ;;
        esac
        echo "$file:$line: tools may use platform, link, records and sim only: $text"
        bad=1
        continue
    fi
    from=$(cut -d/ -f2 <<<"$file")
    rf=$(rank "$from")
    rt=$(rank "$target")
    if [[ $rt -lt 0 || $from == "$target" ]]; then
        continue
    fi
    if [[ $rt -gt $rf ]]; then
        echo "$file:$line: $from includes $target, a higher layer: $text"
        bad=1
    elif [[ $rt -eq $rf ]] && ! allowed_sideways "$from" "$target"; then
        echo "$file:$line: $from includes $target, a folder of its own layer: $text"
        bad=1
    fi
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' src tools \
    --include='*.h' --include='*.cpp' || true)

# No two files lean on each other in a loop: a.cpp or a.h including b.h while b's files
# include a.h (a file and its own header count as one). tsort names the loop it finds.
loops=$(grep -rnoE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z_]+/[a-z0-9_]+\.h"' src \
    --include='*.h' --include='*.cpp' |
    sed -E 's/^src\/([^:]+)\.(h|cpp):[0-9]+:.*"([^"]+)\.h"$/\1 \3/' |
    awk '$1 != $2' | tsort 2>&1 >/dev/null || true)
if [[ -n $loops ]]; then
    echo "Files that include each other in a loop:"
    echo "$loops"
    bad=1
fi

if [[ $bad -ne 0 ]]; then
    echo "Layer check failed: see the includes above." >&2
    exit 1
fi
echo "Layer check: every include points down the layer order, and none runs in a loop."
