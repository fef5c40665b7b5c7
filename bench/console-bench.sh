#!/bin/sh
# console-bench.sh BUILDDIR [COUNT [RUNS]]
#
# Times the console listing of a large computer (COUNT hotfixes, default
# 10000, each with an uninstall directory of five files) against its floor,
# the program that makes only the registry and directory calls the listing
# needs (bench/floor.cpp). Both run RUNS times (default 7), by turns, on the
# same prefix BUILDDIR/bench-prefix, which is made anew when it holds another
# count. Prints, for each, the best and the median wall time and the median
# CPU time of the program and the wineserver (which does the registry work,
# and which other load on the machine disturbs less), and the ratios.
set -eu
if [ $# -lt 1 ] || [ $# -gt 3 ]; then
  echo "usage: $0 BUILDDIR [COUNT [RUNS]]" >&2
  exit 2
fi
build=$(cd -- "$1" && pwd)
count=${2:-10000}
runs=${3:-7}
here=$(cd -- "$(dirname -- "$0")" && pwd)
pscopecl="$build/console/pscopecl.exe"
floor="$build/bench/floor.exe"
for program in "$pscopecl" "$floor"; do
  [ -f "$program" ] || { echo "$program is missing: build it first" >&2; exit 1; }
done

prefix="$build/bench-prefix"
"$here/make-bench.sh" "$prefix" "$count"
export WINEPREFIX="$prefix" WINEDEBUG=-all
. "$here/../demo/wine-prefix.sh"   # pinned: the server and the programs on one processor

# A server of our own, in the foreground, so that its CPU time can be read.
wineserver -k </dev/null >/dev/null 2>&1 || true
pinned wineserver -f -p </dev/null >/dev/null 2>&1 &
server=$!
times=$(mktemp)
trap 'rm -f "$times"; wineserver -k </dev/null >/dev/null 2>&1 || true; wait' EXIT
sleep 0.5
pinned wine cmd /c exit </dev/null >/dev/null 2>&1
kill -0 "$server" 2>/dev/null || { echo "the wineserver did not stay up" >&2; exit 1; }

server_ticks() { awk '{ print $14 + $15 }' "/proc/$server/stat"; }
ticks_per_second=$(getconf CLK_TCK)

# measure NAME PROGRAM: one run, output discarded; appends "NAME wall cpu".
measure() {
  ticks=$(server_ticks)
  start=$(date +%s%N)
  # "times" in the subshell: its children's user and system time, the program's.
  cpu=$( (pinned wine "$2" </dev/null >/dev/null 2>&1; times) | awk -F '[ms ]+' 'NR == 2 { print $1 * 60 + $2 + $3 * 60 + $4 }')
  end=$(date +%s%N)
  awk -v name="$1" -v ns=$((end - start)) -v cpu="$cpu" -v ticks=$(($(server_ticks) - ticks)) \
      -v hz="$ticks_per_second" 'BEGIN { printf "%s %.3f %.3f\n", name, ns / 1e9, cpu + ticks / hz }' >>"$times"
}

# Same data for both: the listing must name every hotfix. These first runs
# also fill the caches, so that no timed run pays for a cold start.
lines=$(pinned wine "$pscopecl" </dev/null 2>/dev/null | wc -l)
[ "$lines" -eq "$count" ] || { echo "pscopecl listed $lines hotfixes, not $count" >&2; exit 1; }
pinned wine "$floor" </dev/null >/dev/null 2>&1 || { echo "the floor found no hotfixes" >&2; exit 1; }

i=0
while [ $i -lt "$runs" ]; do
  measure floor "$floor"
  measure pscopecl "$pscopecl"
  i=$((i + 1))
done

# figures NAME: best wall, median wall, median CPU.
figures() {
  median='{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
  best=$(awk -v n="$1" '$1 == n { print $2 }' "$times" | sort -n | head -n 1)
  wall=$(awk -v n="$1" '$1 == n { print $2 }' "$times" | sort -n | awk "$median")
  cpu=$(awk -v n="$1" '$1 == n { print $3 }' "$times" | sort -n | awk "$median")
  echo "$best $wall $cpu"
}
echo "Console listing of $count hotfixes (uninstall directories of 5 files), $runs runs each:"
{ figures floor; figures pscopecl; } | awk '
  NR == 1 { split($0, f) }
  NR == 2 { split($0, p) }
  END {
    printf "                 best wall   median wall   median CPU (program + wineserver)\n"
    printf "  floor          %7.3f s     %7.3f s     %7.3f s\n", f[1], f[2], f[3]
    printf "  pscopecl       %7.3f s     %7.3f s     %7.3f s\n", p[1], p[2], p[3]
    printf "  ratio          %7.2f       %7.2f       %7.2f      (goal: at most 1.25)\n",
           p[1] / f[1], p[2] / f[2], p[3] / f[3]
  }'
