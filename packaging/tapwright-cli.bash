# bash completion for tapwright-cli
#
# Commands, options and option values are read from `tapwright-cli --help` of the
# program being completed, so they follow whatever that program accepts:
#   - a command is a usage line "COMMAND FILE ..." indented by at most two spaces,
#     and its options are those named in its usage block (up to the next command
#     or a heading "Heading:") and outside every block;
#   - an option takes a value when the text shows "--opt VALUE" (VALUE in capitals)
#     or "--opt a|b|c"; the values are those listed with "|", or those that a
#     sentence "VALUE: a, b, c." or "VALUE is a, b or c." names (parenthesised
#     remarks skipped), looked up in the command's block first; a VALUE ending in
#     FILE, OUT, OUT.png, ... is a file name and DIR a directory.
# tests/install/completion_test.cpp holds the completion to the program's own
# lists of export formats and graph names.

# The help text on one line, parenthesised remarks removed.
_tapwright_cli_flat() {
    local flat
    flat=$(printf '%s\n' "$1" | tr '\n' ' ' | tr -s ' ')
    flat=$(printf '%s' "$flat" | sed -E 's/\([^()]*\)//g; s/\([^()]*\)//g')
    printf '%s' "$flat"
}

# The commands of the help text $1, one a line.
_tapwright_cli_commands() {
    printf '%s\n' "$1" | sed -nE 's/^ {0,2}([a-z][a-z0-9-]*) FILE( .*)?$/\1/p'
}

# The options named in the help text $1, one a line.
_tapwright_cli_options() {
    printf '%s\n' "$1" | awk '{
            line = " " $0
            while (match(line, /[][ (,|]--?[A-Za-z][A-Za-z0-9-]*/)) {
                option = substr(line, RSTART + 1, RLENGTH - 1)
                line = substr(line, RSTART + RLENGTH)
                if (substr(option, 1, 2) == "--" || length(option) == 2) print option
            }
        }' | sort -u
}

# The lines of the help text $1 in the usage block of command $2, and those outside
# every block.
_tapwright_cli_block() {
    printf '%s\n' "$1" | awk -v want="$2" '
        /^ ? ?[a-z][a-z0-9-]* FILE( |$)/ { block = $1 }
        /^[A-Z][A-Za-z ]*:$/ { block = "" }
        block == want || block == ""'
}

# What option $3 takes according to the flat help texts $1 (the command's block)
# and $2 (all of it), the block's word first: "words" and the words on the next
# lines, "file", "dir", "other" (a value we cannot list), or "none".
_tapwright_cli_option_value() {
    local option=$3 flat rest meta="" word
    local -a words=()
    for flat in "$1" "$2"; do
        if [[ " $flat" =~ [[:space:]\[]${option}[[:space:]]([a-z0-9][a-z0-9-]*(\|[a-z0-9][a-z0-9-]*)+) ]]; then
            printf 'words\n'
            printf '%s\n' ${BASH_REMATCH[1]//|/ }
            return
        fi
        if [[ " $flat" =~ [[:space:]\[]${option}[[:space:]]([A-Z][A-Z0-9_:.]*)([][ ,;]|$) ]]; then
            meta=${BASH_REMATCH[1]}
            break
        fi
    done
    case $meta in
        "") printf 'none\n'; return ;;
        DIR) printf 'dir\n'; return ;;
        *FILE | OUT | OUT.*) printf 'file\n'; return ;;
    esac
    for flat in "$1" "$2"; do
        if [[ $flat == *" $meta: "* ]]; then
            rest=${flat#*" $meta: "}
        elif [[ $flat == *" $meta is "* ]]; then
            rest=${flat#*" $meta is "}
        else
            continue
        fi
        rest=${rest%%.*}
        for word in ${rest//,/ }; do
            [[ $word == or || $word == and ]] && continue
            [[ $word =~ ^[a-z0-9][a-z0-9-]*$ ]] && words+=("$word")
        done
        break
    done
    if [[ ${#words[@]} -eq 0 ]]; then
        printf 'other\n'
        return
    fi
    printf 'words\n'
    printf '%s\n' "${words[@]}"
}

_tapwright_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local help flat command kind
    local -a answer=()
    COMPREPLY=()
    help=$("${COMP_WORDS[0]}" --help 2>/dev/null) || return 0

    if [[ $COMP_CWORD -eq 1 ]]; then
        if [[ $cur == -* ]]; then
            mapfile -t answer < <(_tapwright_cli_options "$(_tapwright_cli_block "$help" "")")
        else
            mapfile -t answer < <(_tapwright_cli_commands "$help")
        fi
        mapfile -t COMPREPLY < <(compgen -W "${answer[*]}" -- "$cur")
        return 0
    fi

    command=${COMP_WORDS[1]}
    flat=$(_tapwright_cli_flat "$help")
    if [[ $COMP_CWORD -ge 2 ]]; then
        local prev=${COMP_WORDS[COMP_CWORD - 1]}
        if [[ $prev == -* ]]; then
            mapfile -t answer < <(_tapwright_cli_option_value \
                "$(_tapwright_cli_flat "$(_tapwright_cli_block "$help" "$command")")" "$flat" "$prev")
            kind=${answer[0]}
            case $kind in
                words)
                    mapfile -t COMPREPLY < <(compgen -W "${answer[*]:1}" -- "$cur")
                    return 0 ;;
                file)
                    mapfile -t COMPREPLY < <(compgen -f -- "$cur")
                    compopt -o filenames 2>/dev/null
                    return 0 ;;
                dir)
                    mapfile -t COMPREPLY < <(compgen -d -- "$cur")
                    compopt -o filenames 2>/dev/null
                    return 0 ;;
                other) return 0 ;;
            esac
        fi
    fi

    if [[ $cur == -* ]]; then
        mapfile -t answer < <(_tapwright_cli_options "$(_tapwright_cli_block "$help" "$command")")
        mapfile -t COMPREPLY < <(compgen -W "${answer[*]}" -- "$cur")
    else
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
        compopt -o filenames 2>/dev/null
    fi
    return 0
}

complete -F _tapwright_cli tapwright-cli
