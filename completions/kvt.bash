# bash completion for kvt. Commands and options are read from the program's
# own help, so the completion follows whichever kvt is installed.

# The options of `kvt COMMAND`, one per line.
_kvt_options() {
  "$1" "$2" --help 2>/dev/null | grep -oE '^ +(-[a-zA-Z], )?--[a-z0-9-]+' | grep -oE -- '-{1,2}[a-zA-Z0-9-]+'
}

# The file patterns a command reads, as an extglob; letter case does not count.
_kvt_inputs() {
  case $1 in
    mml) echo '*.[mM][mM][lL]' ;;
    mid2kvt) echo '*.@([mM][iI][dD]|[mM][iI][dD][iI])' ;;
    rcp2mid) echo '*.[rR][cC][pP]' ;;
    info) echo '*.[kK][vV][tT]' ;;
    bank) echo '*.[sS][fF]2' ;;
    *) echo '*.@([kK][vV][tT]|[mM][mM][lL]|[mM][iI][dD]|[mM][iI][dD][iI]|[rR][cC][pP]|[wW][aA][vV])' ;;
  esac
}

_kvt() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]} kvt=${COMP_WORDS[0]}
  COMPREPLY=()
  if ((COMP_CWORD == 1)); then
    local commands
    commands=$("$kvt" --help 2>/dev/null | sed -n 's/^  \([a-z0-9]\{1,\}\) .*/\1/p')
    mapfile -t COMPREPLY < <(compgen -W "$commands --help --version" -- "$cur")
    return
  fi
  local command=${COMP_WORDS[1]}
  if [[ $command == bank ]] && ((COMP_CWORD == 2)); then
    mapfile -t COMPREPLY < <(compgen -W "import list" -- "$cur")
    return
  fi
  case $prev in
    -o | --output | --out-dir | -c | --config)
      compopt -o filenames
      mapfile -t COMPREPLY < <(compgen -f -- "$cur")
      return
      ;;
    --voices)
      compopt -o filenames
      mapfile -t COMPREPLY < <(compgen -d -- "$cur")
      return
      ;;
    --bank)
      # The installed banks' names, and folders.
      compopt -o filenames
      mapfile -t COMPREPLY < <(compgen -W "$("$kvt" bank list 2>/dev/null | cut -f1)" -- "$cur"; compgen -d -- "$cur")
      return
      ;;
  esac
  if [[ $cur == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W "$(_kvt_options "$kvt" "$command")" -- "$cur")
    return
  fi
  # Folders to go into, and the files this command reads.
  compopt -o filenames
  local pattern f
  pattern=$(_kvt_inputs "$command")
  mapfile -t COMPREPLY < <(compgen -d -- "$cur")
  for f in "$cur"*; do
    if [[ -f $f && $f == $pattern ]]; then COMPREPLY+=("$f"); fi
  done
}

complete -F _kvt kvt
