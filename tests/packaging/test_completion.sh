#!/usr/bin/env bash
# The bash completion, sourced into bash as bash-completion would: a command, an option
# of that command (and not another command's), the commands after "help", and the
# simulated meter's port name. That each command offers exactly its own options is
# test_cli_options'; here the script is checked to hand them on.
#   test_completion.sh LEVELPANEL-CLI COMPLETION-SCRIPT
set -uo pipefail
cli=$1
source "$2"

failed=0
# complete WORD... : COMPREPLY for the last word, the program being $cli
complete_words() {
    COMP_WORDS=("$cli" "$@")
    COMP_CWORD=$#
    COMPREPLY=()
    _levelpanel_cli
}
expect() {  # expect has|lacks WORD DESCRIPTION
    local found=0 w
    for w in "${COMPREPLY[@]}"; do [[ $w == "$2" ]] && found=1; done
    if [[ $1 == has && $found == 0 || $1 == lacks && $found == 1 ]]; then
        echo "FAIL: $3: COMPREPLY is (${COMPREPLY[*]})"
        failed=1
    fi
}

complete_words st
expect has stats "a command from its first letters"
expect lacks sets "a command that does not start so"
complete_words record --ro
expect has --rotate "an option of record"
complete_words stats --
expect has --resolution "an option of stats"
expect lacks --port "stats takes no port"
complete_words export --
expect has --offset "an option of export"
expect lacks --exclude "export refuses --exclude"
complete_words help re
expect has record "a command after help"
complete_words live --port s
expect has sim "the simulated meter as a port"

[[ $failed == 0 ]] && echo "completion: all checks passed"
exit $failed
