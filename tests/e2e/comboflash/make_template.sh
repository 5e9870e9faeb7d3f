#!/usr/bin/env bash
# Makes, once, the template prefix of one of ComboFlash.exe's modes
# (modes.sh): a copy of the initialised BASE prefix with the mode's settings
# written by one regedit import. Each test of that mode copies it and starts
# Wine once; its drive links it makes itself, with ln.
#   make_template.sh MODE BASE TEMPLATE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
wine_env=$here/../../../testing/ui/wine-e2e-env
source "$here/modes.sh"
mode=${1:?mode} base=${2:?base prefix} template=${3:?template prefix}

settings=$(mktemp)
trap 'rm -f "$settings"' EXIT
windows_version() { "$wine_env" setting version "$@" >>"$settings"; }
cdrom_drive() { "$wine_env" setting cdrom "$1" >>"$settings"; }
dll_override() { "$wine_env" setting dll "$@" >>"$settings"; }
comboflash_mode "$mode" -
"$wine_env" template "$base" "$template" "$settings"
echo "$template: $(tr '\t' ' ' <"$template/.comboflash-template" | paste -sd ';')"
