#!/bin/sh
# make-demo.sh PREFIX BUILDDIR
#
# Creates the demo computer from scratch in the Wine prefix PREFIX: the
# registry of demo.reg and the uninstall directories of files.txt, with the
# saved program files that BUILDDIR/demo/versioned holds (target demo_files).
# The prefix's wineserver is stopped at the end.
set -eu
if [ $# -ne 2 ]; then
  echo "usage: $0 PREFIX BUILDDIR" >&2
  exit 2
fi
here=$(cd -- "$(dirname -- "$0")" && pwd)
versioned="$(cd -- "$2" && pwd)/demo/versioned"
[ -d "$versioned" ] || {
  echo "$versioned is missing: build the target demo_files first" >&2
  exit 1
}
. "$here/wine-prefix.sh"

# write_inf DIR NAME: the installer scripts of the hotfix of DIR.
write_inf() {
  id=${1#\$NtUninstall}
  id=${id%\$}
  case $2 in
  uninst.inf)
    printf '%s\r\n' \
      "; Removes hotfix $id" \
      '[Version]' \
      'Signature="$Windows NT$"' \
      '' \
      '[DefaultInstall]' \
      'DelReg=Hotfix.DelReg' \
      '' \
      '[Hotfix.DelReg]' \
      "HKLM,\"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\$id\"" \
      "HKLM,\"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SP4\\Hotfix\\$id\""
    ;;
  *)
    printf '%s\r\n' \
      "; Installs hotfix $id" \
      '[Version]' \
      'Signature="$Windows NT$"' \
      'Provider="Demo Systems"' \
      '' \
      '[Hotfix]' \
      "Id=$id" \
      'Build=1381' \
      'ServicePack=4'
    ;;
  esac
}

# A plain file's bytes: the first SIZE bytes of some lines of text.
filler=$(mktemp)
trap 'rm -f "$filler"' EXIT
i=0
while [ $i -lt 200 ]; do
  printf 'Saved by the service pack installer; line %03d of the original file.\r\n' $i
  i=$((i + 1))
done >"$filler"

# create_files WINDIR: every file of files.txt below WINDIR, with its time.
create_files() {
  last=
  grep -v '^#' "$here/files.txt" |
  while read -r dir name date time size kind version description; do
    [ -n "$dir" ] || continue
    if [ "$dir" != "$last" ]; then
      mkdir -p -- "$1/$dir"
      last=$dir
    fi
    file="$1/$dir/$name"
    case $kind in
    inf) write_inf "$dir" "$name" >"$file" ;;
    plain) head -c "$size" "$filler" >"$file" ;;
    version)
      cp -- "$versioned/$version/$name" "$file"
      truncate -s ">$size" -- "$file"
      ;;
    *) echo "files.txt: unknown kind $kind of $dir/$name" >&2; exit 1 ;;
    esac
    touch -d "$date $time" -- "$file"
  done
  # A directory was last written when its newest file arrived.
  grep -v '^#' "$here/files.txt" | while read -r dir rest; do
    [ -n "$dir" ] && printf '%s\n' "$dir"
  done | sort -u | while read -r dir; do
    newest=$(ls -t -- "$1/$dir" | head -n 1)
    touch -r "$1/$dir/$newest" -- "$1/$dir"
  done
}

new_prefix "$1"
import_reg "$here/demo.reg"
computer=$(share_windows_dir)
create_files "$WINEPREFIX/drive_c/windows"
stop_prefix
echo "Demo computer $computer ready in $WINEPREFIX"
