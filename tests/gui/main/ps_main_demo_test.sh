#!/bin/sh
# ps_main_demo_test.sh BUILDDIR
#
# Starts the built pscope.exe on a fresh copy of the demo computer (a prefix
# of this test's own, made by demo/make-demo.sh) and checks from outside its
# process what its window shows: the Service Pack 4 question (answered with
# Cancel), the caption, the summary, and exactly the demo computer's hotfixes
# (demo/demo.reg) with their descriptions. Saves a screenshot of the display.
set -eu
build=$(cd -- "$1" && pwd)
here=$(cd -- "$(dirname -- "$0")" && pwd)
source_dir=$(cd -- "$here/../../.." && pwd)
pscope="$build/gui/pscope.exe"
probe="$build/tests/gui/main/pscope_probe.exe"
for program in "$pscope" "$probe"; do
  [ -f "$program" ] || { echo "$program is missing: build it first" >&2; exit 1; }
done
[ -s "${PS_DISPLAY_FILE:-}" ] || { echo "no virtual display (run under the wine fixture)" >&2; exit 1; }
DISPLAY=":$(cat "$PS_DISPLAY_FILE")"
export DISPLAY

prefix="$build/tests/gui/main/ps_main_demo-prefix"
"$source_dir/demo/make-demo.sh" "$prefix" "$build" >/dev/null
export WINEPREFIX="$prefix" WINEDEBUG=-all
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
out=$(mktemp)
trap 'rm -f "$out" "$out.expected" "$out.rows"; wineserver -k </dev/null >/dev/null 2>&1 || true' EXIT

failures=0
fail() { printf 'FAIL: %s\n' "$*" >&2; failures=$((failures + 1)); }

# The demo computer's hotfixes with their descriptions, as demo/demo.reg
# states them: all but Q147222, which is never listed; descriptions stored
# as expandable text unexpanded, of a multi-string its first line.
cat >"$out.expected" <<'ROWS'
IIS4fix	Web server fix for malformed request headers
NETfix2	Computer browser fixes, second set
Q150734	Print spooler fix for lost print jobs
Q154087	Domain logon fix for broken trust relationships
Q158232	Disk driver fix for data loss on large volumes
Q161368	Network redirector fix for file corruption on busy servers
Q166874	Updates %SystemRoot%\System32\dialer.exe so that dial-up connections stay open
Q172953	Time service fix for the daylight saving transition
Q176942	Directory replication fix for locked files
Q179107	Network stack fix for fragmented packet attacks
Q180532	Security account manager fix for password filters
Q184812	Console fix for a screen buffer overrun
Q186532	Graphics subsystem fix for a font cache leak
Q188744	Updates %SystemRoot%\System32\drivers\fatio.sys for long file names on floppy disks
Q191225	Memory manager fix for paging file growth
Q195734	Year 2000 fix for date display in the control panel
Q196270	Logon fix for cached credentials
Q197826	Network stack fix for a slowdown under port scans
Q214802	Year 2000 fix for the leap year calculation
Q217865	Print server fix for a memory leak
Q222159	Clock fix for 29 February 2000
Q228785	Remote procedure call fix for a service crash
Q232491	Event log fix: %SystemRoot%\System32\config\*.evt kept across restarts
Q238542	Name resolution fix for cache poisoning
Q241041	Shell fix for long folder names
Q243835	Network stack fix for predictable sequence numbers
Q246102	Screen saver fix for a password bypass
ROWS
expected_count=27

wine "$pscope" </dev/null >/dev/null 2>&1 &
pscope_pid=$!
wine "$probe" read </dev/null 2>&1 | tr -d '\r' >"$out" || fail "the probe could not read the window"
mkdir -p "$build/screenshots"
import -window root "$build/screenshots/ps_main_demo.png" 2>/dev/null || true
wine "$probe" close </dev/null >/dev/null 2>&1 || true
# A program that does not close fails here, not at CTest's time limit (the
# trap's wineserver -k ends it).
waited=0
while kill -0 "$pscope_pid" 2>/dev/null && [ $waited -lt 600 ]; do
  sleep 0.1
  waited=$((waited + 1))
done
kill -0 "$pscope_pid" 2>/dev/null && fail "pscope did not close within a minute"

name=$(wine cmd /c 'echo %COMPUTERNAME%' </dev/null 2>/dev/null | tr -d '\r\n')
tab=$(printf '\t')
grep -qxF "question${tab}Service Pack 4 found on \\\\$name" "$out" ||
  fail "no Service Pack 4 question for \\\\$name"
grep -qxF "caption${tab}Patchscope - \\\\$name (local)" "$out" || fail "caption: $(grep '^caption' "$out")"
grep -qxF "status${tab}Service Pack 4 and $expected_count hotfixes applied" "$out" ||
  fail "status: $(grep '^status' "$out"), expected $expected_count hotfixes"
grep '^row' "$out" | cut -f2,3 | LC_ALL=C sort >"$out.rows"
if ! cmp -s "$out.rows" "$out.expected"; then
  fail "the window's hotfixes differ from the demo computer's:"
  diff "$out.rows" "$out.expected" >&2 || true
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
