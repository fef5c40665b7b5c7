#!/bin/sh
# pscopecl_native_same_test.sh PROBE HOST_BUILD WORKDIR
# The native program (from the host build) and the Windows program (PROBE,
# its run with the Linux default time format) on the same mixed-case tree:
# the same bytes once the Windows text is taken from code page 1252 to UTF-8
# and the replaced files, listed by two file systems, are compared as sets.
set -eu
probe=$1 host=$2 work=$3
native=$host/console/posix/pscopecl make_tree=$host/tests/console/posix/make_offline_tree
if [ ! -x "$native" ] || [ ! -x "$make_tree" ]; then
  echo "no host build at $host (cmake --build --preset host): skipped"; exit 77
fi
rm -rf "$work"; mkdir -p "$work"
"$make_tree" "$work/image"
windir="Z:$(printf '%s' "$work/image/WINNT" | tr / '\\\\')"

sorted_files() { awk -f "$(dirname -- "$0")/sorted_files.awk"; }

failures=0
for fields in "" QD TF T; do
  set +e
  "$native" $fields "/OFFLINE:$work/image/WINNT" >"$work/native" 2>&1; native_code=$?
  wine "$probe" $fields "/OFFLINE:$windir" </dev/null >"$work/windows.1252" 2>&1; windows_code=$?
  set -e
  iconv -f CP1252 -t UTF-8 "$work/windows.1252" >"$work/windows"
  sorted_files <"$work/native" >"$work/native.sorted"
  sorted_files <"$work/windows" >"$work/windows.sorted"
  if [ "$native_code" -ne 0 ] || [ "$windows_code" -ne 0 ] ||
     ! cmp -s "$work/native.sorted" "$work/windows.sorted"; then
    echo "FAIL fields '${fields:-all}': exit native $native_code, windows $windows_code"
    diff "$work/native.sorted" "$work/windows.sorted" || true
    failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ] && echo "native and Windows listings agree"
exit "$failures"
