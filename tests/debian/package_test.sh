#!/usr/bin/env bash
# Makes comboflash's .deb from the linux build, as cpack --preset linux does,
# and checks it: lintian finds no error and no warning (and no note beyond
# the ones listed below with their reason), and the package holds the
# program, the manual page, the completion, the copyright and the changelog,
# each the repository's own.
#   package_test.sh BUILD_DIR WORK SOURCE_DIR VERSION
set -euo pipefail
build=$1 work=$2 source=$3 version=$4
command -v lintian >/dev/null || { echo "FAIL: lintian is not installed (tools/packages.txt lists it)"; exit 1; }

# Notes lintian may give that say nothing wrong with this package, each with
# its reason. (None so far.)
allowed_notes=()

rm -rf "$work" && mkdir -p "$work/root"
cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" || { cat "$work/cpack.log"; exit 1; }
debs=("$work"/comboflash_"$version"_*.deb)
[ -f "${debs[0]}" ] || { echo "FAIL: cpack wrote no comboflash_${version}_*.deb"; ls "$work"; exit 1; }
deb=${debs[0]}
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# --- lintian: every tag it gives, errors, warnings and notes alike
lintian --display-info --tag-display-limit 0 "$deb" 2>/dev/null >"$work/lintian.txt" || true
cat "$work/lintian.txt"
while read -r severity package tag rest; do
  case $severity in
    E: | W:) fail "lintian $severity $tag $rest" ;;
    I:)
      ok=no
      for note in "${allowed_notes[@]}"; do [ "$tag" = "$note" ] && ok=yes; done
      [ $ok = yes ] || fail "lintian note $tag $rest"
      ;;
    N: | "") ;;
    *) fail "lintian says: $severity $package $tag $rest" ;;
  esac
done <"$work/lintian.txt"

# --- what it installs
dpkg-deb -x "$deb" "$work/root"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version $(dpkg-deb -f "$deb" Version), expected $version"
same() {  # same LABEL INSTALLED REPOSITORY_FILE
  if [ ! -f "$2" ]; then fail "$1: ${2#"$work/root"} is not in the package"
  elif ! cmp -s "$2" "$3"; then fail "$1: ${2#"$work/root"} differs from ${3#"$source/"}"; fi
}
doc=$work/root/usr/share/doc/comboflash
same "copyright" "$doc/copyright" "$source/packaging/debian/copyright"
same "completion" "$work/root/usr/share/bash-completion/completions/comboflash" "$source/cli/comboflash-completion.bash"
for pair in "$doc/changelog.gz:$source/packaging/debian/changelog" \
            "$work/root/usr/share/man/man1/comboflash.1.gz:$source/cli/comboflash.1"; do
  gz=${pair%%:*} original=${pair#*:}
  if [ ! -f "$gz" ]; then fail "${gz#"$work/root"} is not in the package"; continue; fi
  gzip -t "$gz" || fail "${gz#"$work/root"} is not a gzip file"
  gzip -dc "$gz" | cmp -s - "$original" || fail "${gz#"$work/root"} is not ${original#"$source/"} compressed"
done
# The changelog's newest entry is this version.
first=$(head -n1 "$source/packaging/debian/changelog")
[[ $first == "comboflash ($version) "* ]] || fail "the changelog starts with '$first', not version $version"
[ -x "$work/root/usr/bin/comboflash" ] || fail "/usr/bin/comboflash is not in the package"
"$work/root/usr/bin/comboflash" --version | grep -qF "$version" || fail "the packaged comboflash does not say version $version"

[ $failures -eq 0 ] || exit 1
echo "$(basename "$deb"): lintian clean; copyright, changelog.gz, comboflash.1.gz, completion and program in place"
