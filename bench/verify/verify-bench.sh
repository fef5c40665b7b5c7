#!/bin/sh
# verify-bench.sh BUILDDIR [RUNS]
#
# Times the verification of the 10,000-hotfix benchmark computer against its
# floor of plain API calls, RUNS times by turns (default 3), in the prefix
# BUILDDIR/verify-bench-prefix: the computer of make-bench.sh, each uninstall
# directory given a script that puts fix<N>.dll into system32 and fix<N>.sys
# into system32\drivers, its saved files version 4.0.1381.100 and installed
# copies beside them (the libraries newer, the drivers the same version).
# Prints the medians and their ratios.
set -eu
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: $0 BUILDDIR [RUNS]" >&2
  exit 2
fi
build=$(cd -- "$1" && pwd)
runs=${2:-3}
count=10000
here=$(cd -- "$(dirname -- "$0")" && pwd)
bench="$build/bench/verify/verify_bench.exe"
for file in "$bench" "$build/bench/verify/version100.dll" "$build/bench/verify/version200.dll"; do
  [ -f "$file" ] || { echo "$file is missing: build it first" >&2; exit 1; }
done
prefix="$build/verify-bench-prefix"
"$here/../make-bench.sh" "$prefix" "$count"
. "$here/../../demo/wine-prefix.sh"   # pinned: the server and the programs on one processor

if [ "$(cat "$prefix/verify-ready" 2>/dev/null || true)" != "$count" ]; then
  # Hard links: one inode per version, so the copies cost no disk space.
  python3 - "$prefix/drive_c/windows" "$build/bench/verify" "$count" <<'PY'
import os, sys
windows, dlls, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
old, new = os.path.join(dlls, "version100.dll"), os.path.join(dlls, "version200.dll")
system = os.path.join(windows, "system32")
os.makedirs(os.path.join(system, "drivers"), exist_ok=True)
def link(source, target):
    if os.path.lexists(target):
        os.remove(target)
    os.link(source, target)
for n in range(1, count + 1):
    d = os.path.join(windows, "$NtUninstallQ%06d$" % (300000 + n - 1))
    with open(os.path.join(d, "uninst.inf"), "w") as script:
        script.write("[Version]\nSignature=\"$Windows NT$\"\n[DefaultInstall]\n"
                     "CopyFiles=Fix.Sys, Fix.Drv\n[DestinationDirs]\nFix.Sys=11\nFix.Drv=12\n"
                     "[Fix.Sys]\nfix%d.dll\n[Fix.Drv]\nfix%d.sys\n" % (n, n))
    for ext in ("dll", "sys"):
        link(old, os.path.join(d, "fix%d.%s" % (n, ext)))
    link(new, os.path.join(system, "fix%d.dll" % n))
    link(old, os.path.join(system, "drivers", "fix%d.sys" % n))
PY
  echo "$count" >"$prefix/verify-ready"
fi

export WINEPREFIX="$prefix" WINEDEBUG=-all
wineserver -k </dev/null >/dev/null 2>&1 || true
pinned wineserver -p </dev/null >/dev/null 2>&1
# Into a file: Wine's services inherit the streams and would hold a pipe open.
out=$(mktemp)
trap 'rm -f "$out"' EXIT
pinned wine "$bench" "$runs" </dev/null >"$out" 2>&1
stop_prefix
[ -s "$out" ] || { echo "the benchmark printed nothing" >&2; exit 1; }
tr -d '\r' <"$out"
