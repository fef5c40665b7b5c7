#!/bin/sh
# window-bench.sh BUILDDIR [COUNT [RUNS]]
#
# Times the main window's LoadHotfixList of the large benchmark computer
# (COUNT hotfixes, default 10000, made by ../make-bench.sh in
# BUILDDIR/bench-prefix, shared with the console benchmark) against pscopecl
# on the same data, RUNS times each by turns (default 5), in one program on a
# virtual display of its own. Prints the medians and their ratio.
set -eu
if [ $# -lt 1 ] || [ $# -gt 3 ]; then
  echo "usage: $0 BUILDDIR [COUNT [RUNS]]" >&2
  exit 2
fi
build=$(cd -- "$1" && pwd)
count=${2:-10000}
runs=${3:-5}
here=$(cd -- "$(dirname -- "$0")" && pwd)
bench="$build/bench/window/window_bench.exe"
pscopecl="$build/console/pscopecl.exe"
for program in "$bench" "$pscopecl"; do
  [ -f "$program" ] || { echo "$program is missing: build it first" >&2; exit 1; }
done

prefix="$build/bench-prefix"
"$here/../make-bench.sh" "$prefix" "$count"
export WINEPREFIX="$prefix" WINEDEBUG=-all
. "$here/../../demo/wine-prefix.sh"   # pinned: the server and the programs on one processor

start_display
wineserver -k </dev/null >/dev/null 2>&1 || true
pinned wineserver -p </dev/null >/dev/null 2>&1
pinned wine "$bench" "$(winepath -w "$pscopecl" 2>/dev/null)" "$runs" </dev/null 2>&1 | tr -d '\r'
