#!/bin/sh
# native-bench.sh RELEASE_BUILD HOST_BUILD [COUNT [RUNS]]
#
# Times the native pscopecl (of RELEASE_BUILD, the "linux" preset: no
# sanitizers) listing an offline image of COUNT hotfixes (default 10000, five
# files each, made by HOST_BUILD's bench_image) against its floor, the
# same directory listings with opendir/readdir/stat (floor_posix). With a
# win64 build beside them (build/win64) the Windows program lists the same
# image under Wine too, in a prefix of its own, for comparison. Each runs RUNS
# times (default 7) by turns; prints best and median wall times, median CPU
# times and their ratios. PS_BENCH_NATIVE_ONLY=1 leaves Wine out.
set -eu
if [ $# -lt 2 ] || [ $# -gt 4 ]; then
  echo "usage: $0 RELEASE_BUILD HOST_BUILD [COUNT [RUNS]]" >&2
  exit 2
fi
build=$(cd -- "$1" && pwd)
host=$(cd -- "$2" && pwd)
count=${3:-10000}
runs=${4:-7}
here=$(cd -- "$(dirname -- "$0")" && pwd)
pscopecl=$build/console/posix/pscopecl
floor=$build/bench/posix/floor_posix
make_image=$host/bench/posix/bench_image
windows=$here/../../build/win64/console/pscopecl.exe
for program in "$pscopecl" "$floor" "$make_image"; do
  [ -x "$program" ] || { echo "$program is missing: build it first" >&2; exit 1; }
done

image=$build/bench-image
if [ "$(cat "$image/count" 2>/dev/null || true)" != "$count" ]; then
  rm -rf "$image"
  "$make_image" "$image" "$count"
  echo "$count" >"$image/count"
fi
win=$image/WINNT
times=$(mktemp)
trap 'rm -f "$times"' EXIT

lines=$("$pscopecl" "/OFFLINE:$win" | wc -l)
[ "$lines" -eq "$count" ] || { echo "pscopecl listed $lines hotfixes, not $count" >&2; exit 1; }
[ "$("$floor" "$win" "$count")" -eq $((count * 5)) ] || { echo "the floor missed entries" >&2; exit 1; }

# measure NAME COMMAND...: one run, output discarded; appends "NAME wall cpu"
# in seconds, the CPU time (user and system) being the command's own, which
# the machine's other load disturbs less than the wall time.
measure() {
  name=$1; shift
  start=$(date +%s%N)
  cpu=$( ("$@" </dev/null >/dev/null 2>&1; times) |
    awk -F '[ms ]+' 'NR == 2 { print $1 * 60 + $2 + $3 * 60 + $4 }')
  end=$(date +%s%N)
  echo "$name $(( (end - start) / 1000 )) $cpu" >>"$times"
}

wine_runs=0
if [ -z "${PS_BENCH_NATIVE_ONLY:-}" ] && [ -f "$windows" ] && command -v wine >/dev/null; then
  . "$here/../../demo/wine-prefix.sh"
  new_prefix "$build/bench-prefix"
  trap 'rm -f "$times"; stop_prefix' EXIT
  windir="Z:$(printf '%s' "$win" | tr / '\\\\')"
  pinned wine "$windows" "/OFFLINE:$windir" </dev/null >/dev/null 2>&1
  wine_runs=$runs
fi

i=0
while [ $i -lt "$runs" ]; do
  measure floor "$floor" "$win" "$count"
  measure pscopecl "$pscopecl" "/OFFLINE:$win"
  [ "$wine_runs" -gt 0 ] && measure windows pinned wine "$windows" "/OFFLINE:$windir"
  i=$((i + 1))
done

# figures NAME: best wall, median wall and median CPU time in seconds.
figures() {
  median='{ v[NR] = $1 } END { printf "%.4f\n", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
  [ -n "$(awk -v n="$1" '$1 == n' "$times")" ] || { echo; return; }
  best=$(awk -v n="$1" '$1 == n { print $2 / 1e6 }' "$times" | sort -n | head -n 1)
  wall=$(awk -v n="$1" '$1 == n { print $2 / 1e6 }' "$times" | sort -n | awk "$median")
  cpu=$(awk -v n="$1" '$1 == n { print $3 }' "$times" | sort -n | awk "$median")
  echo "$best $wall $cpu"
}
echo "Native offline listing of $count hotfixes (uninstall directories of 5 files), $runs runs each:"
{ figures floor; figures pscopecl; figures windows; } | awk '
  NR == 1 { split($0, f) }
  NR == 2 { split($0, p) }
  NR == 3 { split($0, w) }
  END {
    printf "                          best wall   median wall   median CPU\n"
    printf "  floor (opendir/stat)    %8.4f s    %8.4f s    %8.4f s\n", f[1], f[2], f[3]
    printf "  pscopecl (native)       %8.4f s    %8.4f s    %8.4f s\n", p[1], p[2], p[3]
    printf "  ratio                   %8.2f      %8.2f      %8.2f      (goal: at most 1.25)\n",
           p[1] / f[1], p[2] / f[2], p[3] / f[3]
    if (w[1] != "")
      printf "  pscopecl.exe (Wine)     %8.4f s    %8.4f s    (wall: %.1f times the native program)\n",
             w[1], w[2], w[2] / p[2]
  }'
