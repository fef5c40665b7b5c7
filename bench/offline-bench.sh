#!/bin/sh
# offline-bench.sh BUILDDIR [COUNT [RUNS]]
#
# Times the offline listing of an image of COUNT hotfixes (default 10000),
# each with an uninstall directory of five files, made from the same data as
# the console benchmark's computer (bench/make-bench.sh): a Windows directory
# in the prefix with the SOFTWARE hive (bench/offline-hive.cpp) and copies of
# the uninstall directories. Runs RUNS times each (default 7), by turns:
#   floor       the same directory listings alone (floor /OFFLINE:...)
#   offline     pscopecl /OFFLINE:<image>
#   live        pscopecl on the prefix's own registry and directories
#   hive part   pscopecl QD /OFFLINE:<image>: the hive read and walked, no directory
# and prints the best and the median wall time and the median CPU time
# (program + wineserver) of each, with the ratios.
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
hive="$build/bench/offline-hive.exe"
for program in "$pscopecl" "$floor" "$hive"; do
  [ -f "$program" ] || { echo "$program is missing: build it first" >&2; exit 1; }
done

prefix="$build/bench-prefix"
"$here/make-bench.sh" "$prefix" "$count"
export WINEPREFIX="$prefix" WINEDEBUG=-all
. "$here/../demo/wine-prefix.sh"   # pinned: the server and the programs on one processor

# The image: made again whenever the computer was.
image="$prefix/drive_c/image/WINNT"
if [ "$(cat "$prefix/image-count" 2>/dev/null || true)" != "$count" ]; then
  rm -rf "$prefix/drive_c/image"
  mkdir -p "$image/system32/config"
  (cd "$prefix/drive_c/windows" && cp -a -- \$NtUninstall* "$image/")
  pinned wine "$hive" 'C:\image\WINNT\system32\config\software' "$count" </dev/null
  echo "$count" >"$prefix/image-count"
fi
target='/OFFLINE:C:\image\WINNT'

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

# measure NAME PROGRAM ARGS...: one run, output discarded; appends "NAME wall cpu".
measure() {
  name=$1
  shift
  ticks=$(server_ticks)
  start=$(date +%s%N)
  cpu=$( (pinned wine "$@" </dev/null >/dev/null 2>&1; times) | awk -F '[ms ]+' 'NR == 2 { print $1 * 60 + $2 + $3 * 60 + $4 }')
  end=$(date +%s%N)
  awk -v name="$name" -v ns=$((end - start)) -v cpu="$cpu" -v ticks=$(($(server_ticks) - ticks)) \
      -v hz="$ticks_per_second" 'BEGIN { printf "%s %.3f %.3f\n", name, ns / 1e9, cpu + ticks / hz }' >>"$times"
}

# The same listing both ways, every hotfix in it; these runs also fill the caches.
live=$(mktemp)
pinned wine "$pscopecl" </dev/null 2>/dev/null >"$live"
lines=$(pinned wine "$pscopecl" "$target" </dev/null 2>/dev/null | tee "$times.offline" | wc -l)
[ "$lines" -eq "$count" ] || { echo "the offline listing has $lines hotfixes, not $count" >&2; exit 1; }
cmp -s "$live" "$times.offline" || { echo "the offline listing differs from the live one" >&2; exit 1; }
rm -f "$live" "$times.offline"
pinned wine "$floor" "$target" "$count" </dev/null >/dev/null 2>&1 || { echo "the floor found no files" >&2; exit 1; }

i=0
while [ $i -lt "$runs" ]; do
  measure floor "$floor" "$target" "$count"
  measure offline "$pscopecl" "$target"
  measure live "$pscopecl"
  measure hive "$pscopecl" QD "$target"
  i=$((i + 1))
done

figures() {
  median='{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
  best=$(awk -v n="$1" '$1 == n { print $2 }' "$times" | sort -n | head -n 1)
  wall=$(awk -v n="$1" '$1 == n { print $2 }' "$times" | sort -n | awk "$median")
  cpu=$(awk -v n="$1" '$1 == n { print $3 }' "$times" | sort -n | awk "$median")
  echo "$best $wall $cpu"
}
echo "Offline listing of $count hotfixes (uninstall directories of 5 files), $runs runs each:"
{ figures floor; figures offline; figures live; figures hive; } | awk '
  { for (i = 1; i <= 3; i++) v[NR, i] = $i }
  END {
    split("floor,offline (pscopecl),live (pscopecl),hive part (QD)", name, ",")
    printf "                        best wall   median wall   median CPU (program + wineserver)\n"
    for (r = 1; r <= 4; r++)
      printf "  %-20s  %7.3f s     %7.3f s     %7.3f s\n", name[r], v[r, 1], v[r, 2], v[r, 3]
    printf "  offline / floor       %7.2f       %7.2f       %7.2f      (goal: at most 1.25)\n",
           v[2, 1] / v[1, 1], v[2, 2] / v[1, 2], v[2, 3] / v[1, 3]
    printf "  offline / live        %7.2f       %7.2f       %7.2f\n",
           v[2, 1] / v[3, 1], v[2, 2] / v[3, 2], v[2, 3] / v[3, 3]
    printf "  hive part / offline   %7.2f       %7.2f       %7.2f      (goal: at most 0.10)\n",
           v[4, 1] / v[2, 1], v[4, 2] / v[2, 2], v[4, 3] / v[2, 3]
  }'
