#!/bin/sh
# make-bench.sh PREFIX COUNT
#
# Creates from scratch, in the Wine prefix PREFIX, a large computer for the
# benchmarks: Service Pack 4 and COUNT hotfixes, the first half under
# ...\CurrentVersion\Hotfix and the rest under ...\SP4\Hotfix, each with a
# "Fix Description", a "File 1" subkey and an uninstall directory of five
# files (uninst.inf, hotfix.inf, hotfix.exe and two replaced files). The
# count goes to PREFIX/bench-count; a prefix that already holds that count is
# kept as it is. The wineserver is stopped at the end.
set -eu
if [ $# -ne 2 ] || ! [ "$2" -ge 1 ] 2>/dev/null; then
  echo "usage: $0 PREFIX COUNT" >&2
  exit 2
fi
count=$2
if [ "$(cat "$1/bench-count" 2>/dev/null || true)" = "$count" ]; then
  exit 0
fi
here=$(cd -- "$(dirname -- "$0")" && pwd)
. "$here/../demo/wine-prefix.sh"

# Identifiers Q300000 and up: none of them is, or is a part of, an identifier
# that either program ignores or treats as made obsolete by Service Pack 4.
ids() {
  awk -v n="$count" 'BEGIN { for (i = 0; i < n; i++) printf "Q%06d\n", 300000 + i }'
}

write_reg() {
  ids | awk -v n="$count" '
    BEGIN {
      cv = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"
      print "REGEDIT4"; print ""
      printf "[-%s\\Hotfix]\n", cv
      for (k = 4; k <= 9; k++) printf "[-%s\\SP%d\\Hotfix]\n", cv, k
      print ""; printf "[%s]\n\"CSDVersion\"=\"Service Pack 4\"\n\n", cv
      split("Network stack,File system,Print spooler,Logon service,Graphics subsystem,Remote access,Kernel", area, ",")
    }
    {
      key = (NR <= n / 2 ? "Hotfix" : "SP4\\Hotfix")
      printf "[%s\\%s\\%s]\n", cv, key, $1
      printf "\"Fix Description\"=\"%s fix number %d for a problem found in the field\"\n", area[NR % 7 + 1], NR
      printf "\"Installed\"=\"1\"\n\n"
      printf "[%s\\%s\\%s\\File 1]\n\"Name\"=\"fix%d.dll\"\n\n", cv, key, $1, NR
    }'
}

# Paths below the Windows directory, one a line: the directories, then the
# files of each kind (given a time per kind, the replaced files the oldest).
write_paths() {
  ids | awk -v kind="$1" '{
    d = "$NtUninstall" $1 "$"
    if (kind == "dir") print d
    else if (kind == "saved") { print d "/fix" NR ".dll"; print d "/fix" NR ".sys" }
    else print d "/" kind
  }'
}

new_prefix "$1"
reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
write_reg >"$reg"
import_reg "$reg"
stop_prefix

cd "$WINEPREFIX/drive_c/windows"
write_paths dir | tr '\n' '\0' | xargs -0 mkdir -p --
while read -r kind date time; do
  write_paths "$kind" | tr '\n' '\0' | xargs -0 touch -d "$date $time" --
done <<TIMES
saved 1998-02-10 08:00:00
hotfix.exe 1998-03-02 12:00:02
hotfix.inf 1998-03-02 12:00:00
uninst.inf 1998-04-20 16:30:00
TIMES
write_paths dir | tr '\n' '\0' | xargs -0 touch -d "1998-04-20 16:30:00" --
echo "$count" >"$WINEPREFIX/bench-count"
echo "Benchmark computer with $count hotfixes ready in $WINEPREFIX"
