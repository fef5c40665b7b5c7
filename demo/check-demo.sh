#!/bin/sh
# check-demo.sh PREFIX BUILDDIR RC [PSCOPECL]
#
# Builds the demo computer in PREFIX and checks that it is the computer the
# later tests and the README rely on: its service pack, its hotfix keys, its
# uninstall directories with their times and version resources, and (given
# the program) the console listing of it, locally and through ADMIN$.
set -eu
prefix=$1 build=$2 rc=$3 pscopecl=${4:-}
here=$(cd -- "$(dirname -- "$0")" && pwd)
export WINEDEBUG=-all TZ=UTC
. "$here/wine-prefix.sh"

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
expect() {   # expect WHAT ACTUAL EXPECTED
  [ "$2" = "$3" ] || fail "$1: got [$2], expected [$3]"
}

"$here/make-demo.sh" "$prefix" "$build" >/dev/null
WINEPREFIX=$(cd -- "$prefix" && pwd)
export WINEPREFIX
pinned wineserver -p </dev/null >/dev/null 2>&1
# The first program starts Wine's background services, which keep whatever
# streams it had: give them none (CTest waits for every holder of its pipes).
pinned wine cmd /c exit </dev/null >/dev/null 2>&1
trap 'wineserver -k </dev/null >/dev/null 2>&1 || true' EXIT
windir="$WINEPREFIX/drive_c/windows"
cv='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion'
reg() { native_wine reg query "$@" </dev/null 2>/dev/null | tr -d '\r'; }

# Registry: exactly the demo's keys, the prefix's own hotfix gone.
expect CSDVersion "$(reg "$cv" /v CSDVersion | sed -n 's/.*REG_SZ *//p')" "Service Pack 4"
expect "keys under Hotfix" "$(reg "$cv\\Hotfix" | grep -c '\\Hotfix\\')" 15
expect "keys under SP4\\Hotfix" "$(reg "$cv\\SP4\\Hotfix" | grep -c '\\Hotfix\\')" 13
all=$(reg "$cv\\Hotfix" /s; reg "$cv\\SP4\\Hotfix" /s)
expect "File 1 subkeys" "$(printf '%s\n' "$all" | grep -c '\\File 1$')" 28
expect "multi-string descriptions" "$(printf '%s\n' "$all" | grep -c 'Fix Description *REG_MULTI_SZ')" 1
expect "expandable descriptions" "$(printf '%s\n' "$all" | grep -c 'Fix Description *REG_EXPAND_SZ')" 3
printf '%s\n' "$all" | grep -q Q246009 && fail "the prefix's own hotfix Q246009 is still there"

# Uninstall directories: the installer's files, applied after the hotfix was
# built, and saved program files that carry their version resources.
expect "hotfix uninstall directories" "$(ls -d "$windir"/\$NtUninstall*\$ | wc -l)" 24
for dir in "$windir"/\$NtUninstall*\$; do
  [ "$dir/hotfix.inf" -ot "$dir/uninst.inf" ] || fail "$dir: hotfix.inf not older than uninst.inf"
done
expect "time of Q154087's uninst.inf" \
  "$(date -r "$windir/\$NtUninstallQ154087\$/uninst.inf" '+%Y-%m-%d %H:%M:%S')" "1997-05-19 09:01:36"
expect "time of Q154087's directory" \
  "$(date -r "$windir/\$NtUninstallQ154087\$" '+%Y-%m-%d %H:%M:%S')" "1997-05-19 09:01:36"
sp_files=$(ls "$windir/\$NtServicePackUninstall\$" | wc -l)
[ "$sp_files" -ge 300 ] || fail "service pack uninstall directory holds $sp_files files"
grep -v '^#' "$here/files.txt" | while read -r dir name date time size kind version description; do
  [ "$kind" = version ] || continue
  info=$("$rc" -i "$windir/$dir/$name" -O rc 2>/dev/null || true)
  case $info in
  *"\"FileVersion\", \"$version\""*"\"ProductName\""*) ;;
  *) echo "FAIL: $dir/$name has no version resource $version" >&2; exit 1 ;;
  esac
done || failures=$((failures + 1))

# The console listing: every hotfix but the always ignored Q147222, in
# search-path and enumeration order; the same through the ADMIN$ share.
if [ -n "$pscopecl" ]; then
  list() { pinned wine "$pscopecl" "$@" </dev/null 2>&1 | tr -d '\r'; }
  expect "listed identifiers" "$(list Q | tr '\n' ' ')" \
"IIS4fix Q150734 Q154087 Q158232 Q161368 Q166874 Q172953 Q176942 Q179107 Q180532 \
Q184812 Q186532 Q188744 Q191225 NETfix2 Q195734 Q196270 Q197826 Q214802 Q217865 \
Q222159 Q228785 Q232491 Q238542 Q241041 Q243835 Q246102 "
  full=$(list)
  tab=$(printf '\t')
  for line in \
    "Q154087${tab}Domain logon fix for broken trust relationships${tab}5/19/1997 9:01 AM${tab}hotfix.exe, hotfix.inf, logonsvc.exe, secacct.dll" \
    "Q150734${tab}Print spooler fix for lost print jobs${tab}" \
    "Q228785${tab}Remote procedure call fix for a service crash${tab}7/19/1999 8:46 AM${tab}hotfix.exe, hotfix.inf, rpcrun.dll, rpcsvc.exe" \
    "Q166874${tab}Updates %SystemRoot%\\System32\\dialer.exe so that dial-up connections stay open${tab}9/25/1997 11:31 AM${tab}dialer.exe, hotfix.exe, hotfix.inf, remacc.dll"
  do
    printf '%s\n' "$full" | grep -qxF -- "$line" || fail "listing lacks the line [$line]"
  done
  # The verification: every saved file in effect but for the demo's mishaps.
  verify=$(list /VERIFY)
  expect "verified files" "$(printf '%s\n' "$verify" | grep -c "${tab}")" 345
  expect "files not in effect" "$(printf '%s\n' "$verify" | grep -v "${tab}In effect${tab}" | cut -f1-3 | sort | tr '\n' ' ')" \
"Q197826${tab}netstack.sys${tab}Undone Q241041${tab}shellui.dll${tab}Undone \
Q243835${tab}netstack.sys${tab}Undone Q246102${tab}scrsave.exe${tab}Missing \
Service Pack${tab}noteui.hlp${tab}Undone "
  computer=$(pinned wine cmd /c 'echo %COMPUTERNAME%' </dev/null 2>/dev/null | tr -d '\r\n')
  expect "listing through \\\\$computer\\ADMIN\$" "$(list "\\\\$computer")" "$full"
fi

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "demo computer as expected"
