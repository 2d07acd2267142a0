# bash completion for quillmoor-cli. The subcommands and their options are
# read from the program's own --help, so they never fall behind it.
_quillmoor_cli()
{
    local cur prev program="${COMP_WORDS[0]}"
    cur="${COMP_WORDS[COMP_CWORD]}"
    prev="${COMP_WORDS[COMP_CWORD-1]}"
    if [ "$COMP_CWORD" -eq 1 ]; then
        local subcommands
        subcommands="$("$program" --help 2>/dev/null | sed -n '/^Subcommands:/,/^$/s/^  \([a-z]*\) .*/\1/p')"
        COMPREPLY=($(compgen -W "$subcommands --help --version" -- "$cur"))
        return
    fi
    case "$prev" in
        --mode) COMPREPLY=($(compgen -W "skip overwrite" -- "$cur")); return ;;
        --photos) COMPREPLY=($(compgen -d -- "$cur")); return ;;
        --report) COMPREPLY=($(compgen -f -- "$cur")); return ;;
        --ip|--password|--form|--from|--to|--ftp-user|--ftp-password) return ;;
    esac
    if [[ "$cur" == -* ]]; then
        local options
        options="$("$program" "${COMP_WORDS[1]}" --help 2>/dev/null | grep -o -- '--[a-z0-9-]*' | sort -u)"
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    else
        COMPREPLY=($(compgen -f -- "$cur"))
    fi
}
complete -F _quillmoor_cli quillmoor-cli
