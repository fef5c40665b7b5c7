#!/bin/sh
# other-dpi.sh BUILDDIR PROGRAM [ARGUMENTS...]
#
# Runs a test program at 144 dots per inch instead of the prefix's 96, so that
# the dialogs' font has other base units. The resolution is read at each
# program's start from the registry of the whole prefix, so the program gets a
# prefix of its own: the fixture's registry files and its drive C:, with a
# wineserver of its own, on the fixture's display. Its name carries the
# process id, so a run that crashed leaves nothing in the way of the next.
set -eu
build=$1
shift
fixture="$build/wineprefix"
[ -f "$fixture/system.reg" ] || { echo "no booted prefix at $fixture" >&2; exit 1; }
prefix="$build/tests/gui/dpi-prefix-$$"
cleanup() {
  WINEPREFIX="$prefix" wineserver -k </dev/null >/dev/null 2>&1 || true
  rm -rf "$prefix"
}
trap cleanup EXIT
mkdir -p "$prefix/dosdevices"
cp "$fixture/system.reg" "$fixture/user.reg" "$fixture/userdef.reg" "$fixture/.update-timestamp" "$prefix/"
ln -s "$fixture/drive_c" "$prefix/drive_c"
ln -s ../drive_c "$prefix/dosdevices/c:"
ln -s / "$prefix/dosdevices/z:"

export WINEPREFIX="$prefix" WINEDEBUG=-all
if [ -n "${PS_DISPLAY_FILE:-}" ] && [ -s "$PS_DISPLAY_FILE" ]; then
  DISPLAY=":$(cat "$PS_DISPLAY_FILE")"
  export DISPLAY
fi
wineserver -p </dev/null >/dev/null 2>&1
cat >"$prefix/dpi.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:00000090

[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts]
"LogPixels"=dword:00000090
REG
wine regedit /s 'Z:'"$(printf '%s' "$prefix/dpi.reg" | tr / '\\')" </dev/null >/dev/null 2>&1
PS_OTHER_DPI=144 wine "$@" </dev/null
