# bash completion for quandel-cli                                   -*- shell-script -*-
# Commands, their options, the locales --locale takes, and where a DTAUS file is expected only
# folders and files named like DTAUS files (*.dta, dtaus1.*) or starting with an A record.

_quandel_cli_is_dtaus() {
    case "${1##*/}" in
        *.dta | *.DTA | dtaus1.* | DTAUS1.*) return 0 ;;
    esac
    local head
    head=$(LC_ALL=C head -c 5 -- "$1" 2>/dev/null) && [[ $head == 0128A ]]
}

# Folders, and files that pass _quandel_cli_is_dtaus, starting with $1.
_quandel_cli_files() {
    local IFS=$'\n' path
    for path in $(compgen -f -- "$1"); do
        if [[ -d $path ]]; then
            COMPREPLY+=("$path/")
        elif _quandel_cli_is_dtaus "$path"; then
            COMPREPLY+=("$path")
        fi
    done
    # A folder is completed further, not closed with a blank.
    compopt -o nospace -o filenames 2>/dev/null
}

_quandel_cli() {
    local cur prev command="" word i
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD - 1]}
    COMPREPLY=()
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        case $word in html | json | csv | check | find | duplicates | list | xlsx | sqlite) command=$word; break ;; esac
    done

    case $prev in
        --locale) COMPREPLY=($(compgen -W "de_DE en_US" -- "$cur")); return ;;
        --jobs) COMPREPLY=($(compgen -W "1 2 4 8 $(nproc 2>/dev/null)" -- "$cur")); return ;;
        -o | --ausgabe) COMPREPLY=($(compgen -f -- "$cur")); compopt -o filenames 2>/dev/null; return ;;
        # Free text, numbers and dates: nothing to offer.
        --name | --purpose | --account | --amount | --date) return ;;
    esac

    local options
    case $command in
        "") options="-h --help --version"
            if [[ $cur != -* ]]; then
                COMPREPLY=($(compgen -W "html json csv check find duplicates list xlsx sqlite" -- "$cur"))
                return
            fi ;;
        html) options="-h --help -o --ausgabe --locale" ;;
        json) options="-h --help --locale --banks --partial" ;;
        csv) options="-h --help -o --ausgabe --locale --banks --partial" ;;
        check) options="-h --help --accounts --json --verbose --jobs --locale" ;;
        xlsx) options="-h --help -o --ausgabe --locale --banks" ;;
        sqlite) options="-h --help -o --ausgabe --verbose --jobs --locale" ;;
        find) options="-h --help --name --purpose --account --amount --date --json --verbose --jobs --locale" ;;
        duplicates) options="-h --help --loose --json --verbose --jobs --locale" ;;
        list) options="-h --help --json --csv --accounts --verbose --jobs --locale" ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    else
        _quandel_cli_files "$cur"
    fi
}
complete -F _quandel_cli quandel-cli
