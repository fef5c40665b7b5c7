#!/bin/sh
# compare-bench.sh HOST_BUILD [RELEASE_BUILD [RUNS]]
#
# The comparison of many targets: IMAGES offline images (default 100) of 200
# hotfixes each (five files per uninstall directory, made by HOST_BUILD's
# bench_image) plus 16 names that do not answer, compared with 1 and with 8
# threads: natively by RELEASE_BUILD's pscopecl (the "linux" preset), and
# under Wine by build/win64's pscopecl.exe when it is there. Against a floor
# of the same listings one after another (one floor process for all images).
# Prints best and median wall times, their ratios, and the native run's peak
# memory for the whole table. PS_BENCH_IMAGES changes the number of images.
set -eu
if [ $# -lt 1 ] || [ $# -gt 3 ]; then
  echo "usage: $0 HOST_BUILD [RELEASE_BUILD [RUNS]]" >&2
  exit 2
fi
here=$(cd -- "$(dirname -- "$0")" && pwd)
host=$(cd -- "$1" && pwd)
release=$(cd -- "${2:-$here/../build/linux}" && pwd)
runs=${3:-5}
images=${PS_BENCH_IMAGES:-100}
native=$release/console/posix/pscopecl
native_floor=$release/bench/posix/floor_posix
make_image=$host/bench/posix/bench_image
windows=$here/../build/win64/console/pscopecl.exe
windows_floor=$here/../build/win64/bench/floor.exe
for program in "$native" "$native_floor" "$make_image"; do
  [ -x "$program" ] || { echo "$program is missing: build it first" >&2; exit 1; }
done

work=$release/compare-bench
if [ "$(cat "$work/count" 2>/dev/null || true)" != "$images" ]; then
  rm -rf "$work"
  mkdir -p "$work"
  i=1
  while [ $i -le "$images" ]; do
    "$make_image" "$work/image$i" 200
    i=$((i + 1))
  done
  echo "$images" >"$work/count"
fi
native_list=$work/native.txt windows_list=$work/windows.txt
: >"$native_list"; : >"$windows_list"
i=1
while [ $i -le "$images" ]; do
  echo "$work/image$i/WINNT" >>"$native_list"
  printf 'Z:%s\r\n' "$(printf '%s' "$work/image$i/WINNT" | tr / '\\\\')" >>"$windows_list"
  i=$((i + 1))
done
i=1
while [ $i -le 16 ]; do
  echo "\\\\NOANSWER$i" | tee -a "$native_list" | sed 's/$/\r/' >>"$windows_list"
  i=$((i + 1))
done
times=$(mktemp)
trap 'rm -f "$times"' EXIT

# measure NAME COMMAND...: one run, output discarded; appends "NAME seconds".
measure() {
  name=$1; shift
  start=$(date +%s%N)
  "$@" </dev/null >/dev/null 2>&1 || true
  end=$(date +%s%N)
  echo "$name $(( (end - start) / 1000 ))" >>"$times"
}
# The floors: one process lists every image's uninstall directories in turn.
native_dirs="" windows_dirs=""
k=1
while [ $k -le "$images" ]; do
  native_dirs="$native_dirs $work/image$k/WINNT"
  windows_dirs="$windows_dirs /OFFLINE:Z:$(printf '%s' "$work/image$k/WINNT" | tr / '\\\\')"
  k=$((k + 1))
done
# shellcheck disable=SC2086
native_floor_all() { "$native_floor" $native_dirs 200; }
# shellcheck disable=SC2086
windows_floor_all() { pinned wine "$windows_floor" $windows_dirs 200; }

# One thread and eight give the same bytes.
"$native" /COMPARE "@$native_list" /THREADS:1 >"$work/one.txt" 2>/dev/null || true
"$native" /COMPARE "@$native_list" /THREADS:8 >"$work/eight.txt" 2>/dev/null || true
cmp -s "$work/one.txt" "$work/eight.txt" || { echo "1 and 8 threads differ" >&2; exit 1; }
rows=$(($(wc -l <"$work/one.txt") - 2))
memory=$(/usr/bin/time -f %M "$native" /COMPARE "@$native_list" /THREADS:8 2>&1 >/dev/null | tail -n 1)

wine_runs=0
if [ -z "${PS_BENCH_NATIVE_ONLY:-}" ] && [ -f "$windows" ] && [ -f "$windows_floor" ] &&
   command -v wine >/dev/null; then
  . "$here/../demo/wine-prefix.sh"
  new_prefix "$release/compare-bench-prefix"
  trap 'rm -f "$times"; stop_prefix' EXIT
  pinned wine "$windows" /COMPARE "@Z:$(printf '%s' "$windows_list" | tr / '\\\\')" </dev/null >/dev/null 2>&1 || true
  wine_runs=$runs
fi
wlist="@Z:$(printf '%s' "$windows_list" | tr / '\\\\')"

i=0
while [ $i -lt "$runs" ]; do
  measure native_floor native_floor_all
  measure native_1 "$native" /COMPARE "@$native_list" /THREADS:1
  measure native_8 "$native" /COMPARE "@$native_list" /THREADS:8
  if [ "$wine_runs" -gt 0 ]; then
    measure wine_floor windows_floor_all
    measure wine_1 wine "$windows" /COMPARE "$wlist" /THREADS:1
    measure wine_8 wine "$windows" /COMPARE "$wlist" /THREADS:8
  fi
  i=$((i + 1))
done

# figures NAME: best and median wall time in seconds (empty when not run).
figures() {
  [ -n "$(awk -v n="$1" '$1 == n' "$times")" ] || { echo "- -"; return; }
  awk -v n="$1" '$1 == n { print $2 / 1e6 }' "$times" | sort -n |
    awk '{ v[NR] = $1 } END { printf "%.3f %.3f\n", v[1], (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
echo "Comparison of $images images of 200 hotfixes and 16 names that do not answer, $runs runs each ($rows hotfix rows):"
for name in native_floor native_1 native_8 wine_floor wine_1 wine_8; do
  echo "$name $(figures $name)"
done | awk -v memory="$memory" -v cpus="$(nproc)" '
  { best[$1] = $2; median[$1] = $3 }
  function line(label, name) {
    if (best[name] != "-") printf "  %-34s %8.3f s  %8.3f s\n", label, best[name], median[name]
  }
  function ratio(label, a, b, goal) {
    if (best[a] != "-" && best[b] != "-")
      printf "  %-34s %8.2f    %8.2f     (goal: %s)\n", label, best[a] / best[b], median[a] / median[b], goal
  }
  END {
    printf "                                       best wall   median wall   (%d processors)\n", cpus
    line("native floor (one after another)", "native_floor")
    line("native pscopecl /THREADS:1", "native_1")
    line("native pscopecl /THREADS:8", "native_8")
    ratio("native 8 threads / 1 thread", "native_8", "native_1", "at most 0.5")
    ratio("native 1 thread / floor", "native_1", "native_floor", "at most 1.25")
    line("Wine floor (one after another)", "wine_floor")
    line("Wine pscopecl.exe /THREADS:1", "wine_1")
    line("Wine pscopecl.exe /THREADS:8", "wine_8")
    ratio("Wine 8 threads / 1 thread", "wine_8", "wine_1", "at most 0.5")
    ratio("Wine 1 thread / floor", "wine_1", "wine_floor", "at most 1.25")
    printf "  peak memory of the native table      %8d kB\n", memory
  }'
