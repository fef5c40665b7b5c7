#!/bin/sh
# details-bench.sh BUILDDIR [RUNS]
#
# Times the details window's scan of a service-pack uninstall directory of
# 3,000 files (a third of them libraries with version resources), with an
# empty and with a warm listing cache, each against its floor of plain API
# calls, RUNS times by turns (default 5), in one program on a virtual display
# of its own, in the prefix BUILDDIR/details-bench-prefix (made when missing).
# Prints the medians, their ratios and the version resources each scan read.
set -eu
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: $0 BUILDDIR [RUNS]" >&2
  exit 2
fi
build=$(cd -- "$1" && pwd)
runs=${2:-5}
here=$(cd -- "$(dirname -- "$0")" && pwd)
bench="$build/bench/details/details_bench.exe"
versioned="$build/bench/details/versioned.dll"
for file in "$bench" "$versioned"; do
  [ -f "$file" ] || { echo "$file is missing: build it first" >&2; exit 1; }
done

. "$here/../../demo/wine-prefix.sh"   # pinned: the server and the programs on one processor

start_display

prefix="$build/details-bench-prefix"
if [ -f "$prefix/system.reg" ]; then
  export WINEPREFIX="$prefix" WINEDEBUG=-all
  wineserver -k </dev/null >/dev/null 2>&1 || true
  pinned wineserver -p </dev/null >/dev/null 2>&1
else
  new_prefix "$prefix"
fi
# No window manager: a managed window's hiding would wait two seconds for one
# (the progress window at the end of every scan).
pinned wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
output=$(pinned wine "$bench" "$(winepath -w "$versioned" 2>/dev/null)" "$runs" </dev/null 2>&1 | tr -d '\r')
[ -n "$output" ] || { echo "the benchmark printed nothing" >&2; exit 1; }
printf '%s\n' "$output"
