#!/usr/bin/env bash
# The man pages name the same options (and, for tapwright-cli, the same commands)
# as the programs' --help, both ways: an option added to --help without its man
# page fails here, and so does a man page that keeps an option --help dropped.
#   man_pages_test.sh PROGRAM MAN_PAGE [PROGRAM MAN_PAGE ...]
set -euo pipefail

# Options in text on standard input: --long, or a single-letter -x, each after a
# space, an opening bracket or parenthesis, a comma or a bar (so "B-bit", "-3 dB"
# and "-inf" are not options).
options() {
    sed -E 's/^/ /' | grep -oE -- '[][ (,|]--?[A-Za-z][A-Za-z0-9-]*' | cut -c2- |
        awk 'substr($0, 1, 2) == "--" || length($0) == 2' | sort -u
}

# Troff source as plain text: \- is a dash, font changes and comments go.
man_text() {
    sed -E '/^\.\\"/d; s/\\-/-/g; s/\\f[BIRP]//g; s/\\\(em/-/g; s/^\.[A-Z]+ ?//' "$1"
}

# Commands: usage lines "COMMAND FILE ..." in --help, ".SS" headings in the page.
help_commands() { sed -nE 's/^ {0,2}([a-z][a-z0-9-]*) FILE( .*)?$/\1/p' | sort -u; }
man_commands() { sed -nE 's/^\.SS "?([a-z][a-z0-9-]*) .*/\1/p' "$1" | sort -u; }

failures=0
compare() {  # what, program, page, expected (from --help), found (in the page)
    if [ "$4" != "$5" ]; then
        echo "FAIL: $1 of $(basename "$2") --help and $(basename "$3") differ:"
        diff <(printf '%s\n' "$4") <(printf '%s\n' "$5") | sed -n 's/^</  only in --help:/p; s/^>/  only in the man page:/p'
        failures=$((failures + 1))
    fi
}

while [ $# -ge 2 ]; do
    program=$1 page=$2
    shift 2
    help=$("$program" --help)
    help_options=$(printf '%s\n' "$help" | options)
    man_options=$(man_text "$page" | options)
    if [ -z "$help_options" ]; then
        echo "FAIL: no options found in $(basename "$program") --help"
        failures=$((failures + 1))
    fi
    compare options "$program" "$page" "$help_options" "$man_options"
    compare commands "$program" "$page" "$(printf '%s\n' "$help" | help_commands)" \
        "$(man_commands "$page")"
    # The page must be well-formed troff as man shows it.
    if command -v groff >/dev/null; then
        warnings=$(groff -man -ww -z "$page" 2>&1 || true)
        if [ -n "$warnings" ]; then
            echo "FAIL: groff warns about $(basename "$page"):"
            printf '%s\n' "$warnings"
            failures=$((failures + 1))
        fi
    fi
done

[ "$failures" -eq 0 ] && echo "man pages and --help agree"
exit "$failures"
