# bash completion for levelpanel-cli and levelpanel: commands, options and port names.
# The programs own their option lists: the commands and options come from
# "levelpanel-cli --help" (or "levelpanel-cli CMD --help"), the ports from
# "levelpanel-cli ports", asked at completion time.

# The options of one command: its own --help when it has one, else its lines in the
# whole help (its usage line and the indented lines under it).
_levelpanel_cli_options() {
    local cli=$1 cmd=$2
    "$cli" "$cmd" --help 2>/dev/null |
        awk -v cmd="$cmd" '
            /^Commands:/ { whole = 1; next }
            !whole { print; next }
            $0 ~ "^  " cmd "( |$)" { mine = 1; print; next }
            /^  [a-z]/ { mine = 0 }
            /^[^ ]/ { mine = 0 }
            mine { print }' |
        grep -oE -- '--[a-z][a-z0-9-]*' | sort -u
}

_levelpanel_ports() {
    local cli=$1
    { "$cli" ports 2>/dev/null | awk -F'\t' 'NF { print $1 }'; echo sim; } | sort -u
}

_levelpanel_files() {
    compopt -o filenames 2>/dev/null
    mapfile -t -O "${#COMPREPLY[@]}" COMPREPLY < <(compgen -f -- "$1")
}

_levelpanel_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=""
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    local cli=${COMP_WORDS[0]}
    COMPREPLY=()

    if ((COMP_CWORD == 1)); then
        local commands
        commands=$("$cli" --help 2>/dev/null |
            awk '/^Commands:/ { on = 1; next } on && /^  [a-z]/ { print $1 } /^[^ ]/ && on { on = 0 }')
        mapfile -t COMPREPLY < <(compgen -W "$commands --help --version" -- "$cur")
        return
    fi

    local cmd=${COMP_WORDS[1]}
    case $prev in
        --port)
            mapfile -t COMPREPLY < <(compgen -W "$(_levelpanel_ports "$cli")" -- "$cur")
            [[ $cur == /* ]] && _levelpanel_files "$cur"
            return ;;
        --out | --csv | --pdf | --events | --password-file | --cafile)
            _levelpanel_files "$cur"
            return ;;
    esac
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$(_levelpanel_cli_options "$cli" "$cmd") --help" -- "$cur")
        return
    fi
    _levelpanel_files "$cur"
}

# levelpanel: --port and its ports, else record files.
_levelpanel() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=""
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    COMPREPLY=()
    local cli
    cli=$(dirname -- "$(type -P "${COMP_WORDS[0]}" 2>/dev/null || echo "${COMP_WORDS[0]}")")/levelpanel-cli
    [[ -x $cli ]] || cli=levelpanel-cli
    if [[ $prev == --port ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$(_levelpanel_ports "$cli")" -- "$cur")
        [[ $cur == /* ]] && _levelpanel_files "$cur"
        return
    fi
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$("${COMP_WORDS[0]}" --help 2>/dev/null |
            grep -oE -- '--[a-z][a-z0-9-]*' | sort -u)" -- "$cur")
        return
    fi
    _levelpanel_files "$cur"
}

complete -F _levelpanel_cli levelpanel-cli
complete -F _levelpanel levelpanel
