# fish completion for kvt. Commands and options are read from the program's
# own help, so the completion follows whichever kvt is installed.

function __kvt_commands
    set -l kvt (commandline -opc)[1]
    $kvt --help 2>/dev/null | string replace -rf '^  ([a-z0-9]+) +(.*)$' '$1\t$2'
end

function __kvt_options
    set -l words (commandline -opc)
    $words[1] $words[2] --help 2>/dev/null | string replace -rf '^ +(?:-[a-zA-Z], )?(--[a-z0-9-]+)(?: [A-Z][A-Z0-9.|\[\]:_-]*)? *(.*)$' '$1\t$2'
end

complete -c kvt -n __fish_use_subcommand -f -a '(__kvt_commands)'
complete -c kvt -n '__fish_seen_subcommand_from bank; and not __fish_seen_subcommand_from import list' -f -a 'import list'
complete -c kvt -n 'not __fish_use_subcommand' -F -a '(__kvt_options)'
# After --bank: the installed banks' names, with their folders.
function __kvt_banks
    set -l kvt (commandline -opc)[1]
    $kvt bank list 2>/dev/null
end
complete -c kvt -l bank -x -a '(__kvt_banks; __fish_complete_directories)'
