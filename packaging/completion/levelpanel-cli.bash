# bash completion for levelpanel-cli and levelpanel: commands, options and port names.
# The programs own their option lists: levelpanel-cli's words come from its hidden
# command "levelpanel-cli __complete WORD..." (made from each command's table of
# options), the ports from "levelpanel-cli ports", asked at completion time.

_levelpanel_ports() {
    local cli=$1
    { "$cli" ports 2>/dev/null | awk -F'\t' 'NF { print $1 }'; echo sim; } | sort -u
}

_levelpanel_files() {
    compopt -o filenames 2>/dev/null
    mapfile -t -O "${#COMPREPLY[@]}" COMPREPLY < <(compgen -f -- "$1")
}

_levelpanel_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local cli=${COMP_WORDS[0]}
    COMPREPLY=()
    # The words after the program's name up to the one completed; the program says what
    # fits there: words, or @port / @file.
    local words
    words=$("$cli" __complete "${COMP_WORDS[@]:1:COMP_CWORD}" 2>/dev/null)
    case $words in
        @port)
            mapfile -t COMPREPLY < <(compgen -W "$(_levelpanel_ports "$cli")" -- "$cur")
            [[ $cur == /* ]] && _levelpanel_files "$cur"
            return ;;
        @file)
            _levelpanel_files "$cur"
            return ;;
    esac
    mapfile -t COMPREPLY < <(compgen -W "$words" -- "$cur")
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
