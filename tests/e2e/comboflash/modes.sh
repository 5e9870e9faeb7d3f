# The Wine settings of ComboFlash.exe's two modes, made with the harness's
# windows_version, cdrom_drive and dll_override (lib.sh); make_template.sh
# makes, from the same lines, the template prefix a mode's tests copy.
#   comboflash_mode aspi|passthrough CD_FOLDER
#     aspi: as on the Windows 95 family, with E: a CD-ROM drive and the
#       wnaspi32.dll beside the program loaded instead of Wine's own.
#     passthrough: as on the NT family, with E: a CD-ROM drive.
comboflash_mode() {
  case $1 in
    aspi)
      windows_version ComboFlash.exe win98
      cdrom_drive E "$2"
      dll_override ComboFlash.exe wnaspi32 native
      ;;
    passthrough)
      windows_version ComboFlash.exe win10
      cdrom_drive E "$2"
      ;;
    *) echo "unknown mode $1" >&2; return 2 ;;
  esac
}
