#!/bin/sh
# image-bench.sh RELEASE_BUILD HOST_BUILD [COUNT [RUNS]]
#
# Times pscopecl /IMAGE: (of RELEASE_BUILD, the "linux" preset: no
# sanitizers) on an NTFS volume holding the native benchmark's offline image
# of COUNT hotfixes (default 10000, five files each, made by HOST_BUILD's
# bench_image and copied in through ntfs-3g), against the same volume
# mounted read-only through ntfs-3g and listed with /OFFLINE:, and against
# its floor, the same directory listings through the image library alone
# (floor_image). Needs root and FUSE (the volume is made and mounted with
# ntfs-3g). Each runs RUNS times (default 7) by turns; prints best and
# median wall times, median CPU times and their ratios.
set -eu
if [ $# -lt 2 ] || [ $# -gt 4 ]; then
  echo "usage: $0 RELEASE_BUILD HOST_BUILD [COUNT [RUNS]]" >&2
  exit 2
fi
build=$(cd -- "$1" && pwd)
host=$(cd -- "$2" && pwd)
count=${3:-10000}
runs=${4:-7}
pscopecl=$build/console/posix/pscopecl
floor=$build/bench/posix/floor_image
make_image=$host/bench/posix/bench_image
for program in "$pscopecl" "$floor" "$make_image"; do
  [ -x "$program" ] || { echo "$program is missing: build it first" >&2; exit 1; }
done
[ "$(id -u)" -eq 0 ] && [ -c /dev/fuse ] || { echo "ntfs-3g needs root and FUSE" >&2; exit 1; }

work=$build/image-bench
volume=$work/ntfs.vol
mnt=$work/mnt
if [ "$(cat "$work/count" 2>/dev/null || true)" != "$count" ]; then
  rm -rf "$work"; mkdir -p "$mnt"
  "$make_image" "$work/tree" "$count"
  # An MFT record per file and directory, and room for the hive.
  truncate -s $((count * 16 / 1024 + 64))M "$volume"
  mkntfs -q -F -f "$volume" 2>/dev/null
  ntfs-3g "$volume" "$mnt" && cp -a "$work/tree/WINNT" "$mnt/" && umount "$mnt"
  rm -rf "$work/tree"
  echo "$count" >"$work/count"
fi
times=$(mktemp)
ntfs-3g -o ro "$volume" "$mnt"
trap 'umount "$mnt"; rm -f "$times"' EXIT

for target in "/IMAGE:$volume" "/OFFLINE:$mnt/WINNT"; do
  lines=$("$pscopecl" "$target" | wc -l)
  [ "$lines" -eq "$count" ] || { echo "pscopecl $target listed $lines hotfixes, not $count" >&2; exit 1; }
done
[ "$("$floor" "$volume" "$count")" -eq $((count * 5)) ] || { echo "the floor missed entries" >&2; exit 1; }

# measure NAME COMMAND...: one run, output discarded; appends "NAME wall cpu"
# in seconds, the CPU time (user and system) being the command's own.
measure() {
  name=$1; shift
  start=$(date +%s%N)
  cpu=$( ("$@" </dev/null >/dev/null 2>&1; times) |
    awk -F '[ms ]+' 'NR == 2 { print $1 * 60 + $2 + $3 * 60 + $4 }')
  end=$(date +%s%N)
  echo "$name $(( (end - start) / 1000 )) $cpu" >>"$times"
}

i=0
while [ $i -lt "$runs" ]; do
  measure floor "$floor" "$volume" "$count"
  measure image "$pscopecl" "/IMAGE:$volume"
  measure mounted "$pscopecl" "/OFFLINE:$mnt/WINNT"
  i=$((i + 1))
done

# figures NAME: best wall, median wall and median CPU time in seconds.
figures() {
  median='{ v[NR] = $1 } END { printf "%.4f\n", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
  best=$(awk -v n="$1" '$1 == n { print $2 / 1e6 }' "$times" | sort -n | head -n 1)
  wall=$(awk -v n="$1" '$1 == n { print $2 / 1e6 }' "$times" | sort -n | awk "$median")
  cpu=$(awk -v n="$1" '$1 == n { print $3 }' "$times" | sort -n | awk "$median")
  echo "$best $wall $cpu"
}
echo "Disk image listing of $count hotfixes (uninstall directories of 5 files) on NTFS, $runs runs each:"
{ figures floor; figures image; figures mounted; } | awk '
  NR == 1 { split($0, f) }
  NR == 2 { split($0, p) }
  NR == 3 { split($0, m) }
  END {
    printf "                              best wall   median wall   median CPU\n"
    printf "  floor (the library alone)   %8.4f s    %8.4f s    %8.4f s\n", f[1], f[2], f[3]
    printf "  pscopecl /IMAGE:            %8.4f s    %8.4f s    %8.4f s\n", p[1], p[2], p[3]
    printf "  pscopecl /OFFLINE: (ntfs-3g)%8.4f s    %8.4f s    %8.4f s\n", m[1], m[2], m[3]
    printf "  /IMAGE: to its floor        %8.2f      %8.2f      %8.2f      (goal: at most 1.25)\n",
           p[1] / f[1], p[2] / f[2], p[3] / f[3]
    printf "  /IMAGE: to the mounted      %8.2f      %8.2f      %8.2f      (goal: below 1)\n",
           p[1] / m[1], p[2] / m[2], p[3] / m[3]
  }'
