#!/bin/sh
# other-locale.sh [--lang LANG] BUILDDIR PROGRAM [ARGUMENTS...]
#
# Runs a test program as a user whose locale differs from the prefix's en-US
# in every field the programs read: Korean (day and month names, date
# patterns, the designator before the time), with overrides of the user's
# own for the rest (designators, 24-hour clock, hour with leading zero, time
# and decimal separators). The user's locale lives in HKEY_CURRENT_USER of
# the whole prefix and is read at each program's start, so the program gets
# a prefix of its own: the fixture's registry files and its drive C:, with
# a wineserver of its own. Its name carries the process id, so a run that
# crashed leaves nothing in the way of the next.
# --lang ja_JP: a Japanese user, the Unix locale compiled for Wine's file names.
set -eu
lang=ko_KR
[ "${1:-}" != --lang ] || { lang=$2; shift 2; }
build=$1
shift
fixture="$build/wineprefix"
[ -f "$fixture/system.reg" ] || { echo "no booted prefix at $fixture" >&2; exit 1; }
prefix="$build/tests/common/locale-prefix-$$"
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

[ "$lang" = ko_KR ] || { localedef -i "$lang" -f UTF-8 "$prefix/$lang.UTF-8" >/dev/null 2>&1 || :
  export LOCPATH="$prefix"; }
export WINEPREFIX="$prefix" WINEDEBUG=-all LC_ALL=$lang.UTF-8
wineserver -p </dev/null >/dev/null 2>&1
# The first program in the new locale resets the user's values to its
# defaults; the overrides come after.
cat >"$prefix/overrides.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Control Panel\International]
"s1159"="vm"
"s2359"="nm"
"sTimeFormat"="tt HH.mm.ss"
"sDecimal"=","
REG
wine regedit /s 'Z:'"$(printf '%s' "$prefix/overrides.reg" | tr / '\\')" </dev/null >/dev/null 2>&1
PS_OTHER_LOCALE=$(printf '%s' "$lang" | tr _ -) wine "$@" </dev/null
