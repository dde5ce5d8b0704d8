#!/bin/bash
# Drives the bash completion of quandel-cli as bash would after <Tab>: each case gives the words
# typed so far, a word that must be offered and one that must not.
set -u
source "$1" || exit 1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir archiv
printf '0128A' > ohne_endung
printf 'kein DTAUS' > notiz.txt
: > lohn.dta
: > dtaus1.001

failures=0
# words (blank-separated, the last one is the word being completed) | offered | not offered
while IFS='|' read -r words offered refused; do
    read -r -a COMP_WORDS <<< "$words"
    [[ $words == *' ' ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _quandel_cli
    reply=" ${COMPREPLY[*]} "
    if [[ -n $offered && $reply != *" $offered "* ]]; then
        echo "FAIL '$words': '$offered' not offered (got:$reply)"; failures=$((failures + 1))
    fi
    if [[ -n $refused && $reply == *" $refused "* ]]; then
        echo "FAIL '$words': '$refused' offered (got:$reply)"; failures=$((failures + 1))
    fi
done <<'CASES'
quandel-cli ch|check|html
quandel-cli |csv|--version
quandel-cli --|--version|--banks
quandel-cli check --|--accounts|--ausgabe
quandel-cli check --ve|--verbose|--version
quandel-cli duplicates --v|--verbose|--version
quandel-cli sqlite --|--verbose|--json
quandel-cli json --|--partial|--verbose
quandel-cli csv --|--banks|--accounts
quandel-cli html -|-o|--banks
quandel-cli json --p|--partial|
quandel-cli html --|--ausgabe|--partial
quandel-cli json --locale |de_DE|lohn.dta
quandel-cli csv --locale e|en_US|de_DE
quandel-cli check |lohn.dta|notiz.txt
quandel-cli check |archiv/|
quandel-cli html |dtaus1.001|notiz.txt
quandel-cli json |ohne_endung|notiz.txt
quandel-cli check --accounts l|lohn.dta|
quandel-cli csv -o |notiz.txt|
quandel-cli |xlsx|
quandel-cli sq|sqlite|xlsx
quandel-cli xlsx --|--banks|--jobs
quandel-cli sqlite --|--jobs|--banks
quandel-cli sqlite -o archiv.db |archiv/|notiz.txt
quandel-cli xlsx |lohn.dta|notiz.txt
quandel-cli d|duplicates|find
quandel-cli |list|--json
quandel-cli find --|--purpose|--loose
quandel-cli find --name ||lohn.dta
quandel-cli find --amount 1||--json
quandel-cli find --date 2012 |lohn.dta|notiz.txt
quandel-cli duplicates --|--loose|--csv
quandel-cli list --|--csv|--loose
quandel-cli list |archiv/|notiz.txt
CASES

[[ $failures -eq 0 ]] && echo "all completion cases pass"
exit $((failures != 0))
