#!/bin/sh
# ps_main_demo_test.sh BUILDDIR
#
# Starts the built pscope.exe on a fresh copy of the demo computer (a prefix
# of this test's own, made by demo/make-demo.sh) and checks from outside its
# process what its window shows: the Service Pack 4 question (answered with
# Cancel), the caption, the summary, and exactly the hotfixes that pscopecl
# lists for the same computer. Saves a screenshot of the display.
set -eu
build=$(cd -- "$1" && pwd)
here=$(cd -- "$(dirname -- "$0")" && pwd)
source_dir=$(cd -- "$here/../.." && pwd)
pscope="$build/gui/pscope.exe"
pscopecl="$build/console/pscopecl.exe"
probe="$build/tests/gui/pscope_probe.exe"
for program in "$pscope" "$pscopecl" "$probe"; do
  [ -f "$program" ] || { echo "$program is missing: build it first" >&2; exit 1; }
done
[ -s "${PS_DISPLAY_FILE:-}" ] || { echo "no virtual display (run under the wine fixture)" >&2; exit 1; }
DISPLAY=":$(cat "$PS_DISPLAY_FILE")"
export DISPLAY

prefix="$build/tests/gui/ps_main_demo-prefix"
"$source_dir/demo/make-demo.sh" "$prefix" "$build" >/dev/null
export WINEPREFIX="$prefix" WINEDEBUG=-all
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
out=$(mktemp)
trap 'rm -f "$out" "$out.ids"; wineserver -k </dev/null >/dev/null 2>&1 || true' EXIT

failures=0
fail() { printf 'FAIL: %s\n' "$*" >&2; failures=$((failures + 1)); }

wine "$pscopecl" Q </dev/null 2>/dev/null | tr -d '\r' | cut -f1 | sort -f >"$out.ids"
expected_count=$(wc -l <"$out.ids")
[ "$expected_count" -gt 0 ] || fail "pscopecl lists no hotfixes on the demo computer"

wine "$pscope" </dev/null >/dev/null 2>&1 &
wine "$probe" read </dev/null 2>&1 | tr -d '\r' >"$out" || fail "the probe could not read the window"
mkdir -p "$build/screenshots"
import -window root "$build/screenshots/ps_main_demo.png" 2>/dev/null || true
wine "$probe" close </dev/null >/dev/null 2>&1 || true
wait

name=$(wine cmd /c 'echo %COMPUTERNAME%' </dev/null 2>/dev/null | tr -d '\r\n')
tab=$(printf '\t')
grep -qxF "question${tab}Service Pack 4 found on \\\\$name" "$out" ||
  fail "no Service Pack 4 question for \\\\$name"
grep -qxF "caption${tab}Patchscope - \\\\$name (local)" "$out" || fail "caption: $(grep '^caption' "$out")"
grep -qxF "status${tab}Service Pack 4 and $expected_count hotfixes applied" "$out" ||
  fail "status: $(grep '^status' "$out"), expected $expected_count hotfixes"
if ! grep '^row' "$out" | cut -f2 | sort -f | cmp -s - "$out.ids"; then
  fail "the window's hotfixes differ from pscopecl's:"
  grep '^row' "$out" | cut -f2 | sort -f | diff - "$out.ids" >&2 || true
fi
# Every row has its five columns, with a description.
if grep '^row' "$out" | awk -F '\t' 'NF != 6 || $3 == ""' | grep -q .; then
  fail "rows without five columns or a description"
fi

if [ $failures -ne 0 ]; then
  cat "$out" >&2
  exit 1
fi
echo "pscope shows the $expected_count hotfixes of the demo computer"
