#!/bin/sh
# ps_main_export_test.sh BUILDDIR
#
# Runs ps_main_export_test.exe, which saves the main window's list as CSV and
# HTML into a directory of this test's own, then reads the files back with
# Python's csv and html.parser (ps_main_export_check.py).
set -eu
build=$(cd -- "$1" && pwd)
here=$(cd -- "$(dirname -- "$0")" && pwd)
source_dir=$(cd -- "$here/../../.." && pwd)
program="$build/tests/gui/main/ps_main_export_test.exe"
[ -f "$program" ] || { echo "$program is missing: build it first" >&2; exit 1; }

out="$build/tests/gui/main/ps_main_export"
rm -rf "$out"
mkdir -p "$out"
PS_EXPORT_DIR=$(winepath -w "$out" 2>/dev/null)
export PS_EXPORT_DIR
"$source_dir/cmake/wine-run.sh" "$program" --gtest_brief=1 </dev/null
python3 "$here/ps_main_export_check.py" "$out"
