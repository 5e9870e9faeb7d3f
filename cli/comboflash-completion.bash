# bash completion for comboflash: its commands, each command's options, the
# firmware file (.bin files and folders) and the optical drives' names.
# Plain bash: it needs nothing of the bash-completion package but its loader.

# The optical drives as --drive takes them: /dev/srN and its short name srN.
# _comboflash_root puts the device folder elsewhere (the tests' fixture).
_comboflash_drives() {
  local node
  for node in "${_comboflash_root-}"/dev/sr[0-9]*; do
    [[ -e $node ]] || continue
    node=${node#"${_comboflash_root-}"}
    printf '%s\n' "$node" "${node#/dev/}"
  done
}

_comboflash() {
  local cur=${COMP_WORDS[COMP_CWORD]}
  local prev=
  ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
  # "--drive=sr" arrives as three words when = breaks words: --drive, =, sr.
  if [[ $prev == = ]] && ((COMP_CWORD > 1)); then
    prev=${COMP_WORDS[COMP_CWORD - 2]}
  elif [[ $cur == = ]]; then
    prev=${COMP_WORDS[COMP_CWORD - 1]}
    cur=
  fi
  local commands="list check flash help"

  if ((COMP_CWORD == 1)); then
    mapfile -t COMPREPLY < <(compgen -W "$commands --help --version" -- "$cur")
    return
  fi

  local command=${COMP_WORDS[1]}
  case $prev in
    --drive)
      mapfile -t COMPREPLY < <(compgen -W "$(_comboflash_drives)" -- "$cur")
      return
      ;;
    --identity)
      # The 24 characters the image must carry: the user's to type.
      COMPREPLY=()
      return
      ;;
  esac

  local options
  case $command in
    list) options="--json" ;;
    check) options="--drive --identity --json" ;;
    flash) options="--drive --yes --dry-run --force --json" ;;
    help)
      if ((COMP_CWORD == 2)); then
        mapfile -t COMPREPLY < <(compgen -W "$commands" -- "$cur")
      else
        COMPREPLY=()
      fi
      return
      ;;
    *)
      COMPREPLY=()
      return
      ;;
  esac

  if [[ $cur == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W "$options --help" -- "$cur")
    return
  fi

  # check and flash take one FILE; once it is given, only options are left.
  if [[ $command == check || $command == flash ]]; then
    local word at
    for ((at = 2; at < COMP_CWORD; at++)); do
      word=${COMP_WORDS[at]}
      case $word in
        --drive | --identity) ((at++)) ;;
        -* | =) ;;
        *)
          [[ ${COMP_WORDS[at - 1]} == = ]] && continue
          mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
          return
          ;;
      esac
    done
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -d -- "$cur"; compgen -f -X '!*.[bB][iI][nN]' -- "$cur")
    return
  fi
  mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
}

complete -F _comboflash comboflash
