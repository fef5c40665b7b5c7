#!/bin/sh
# pscopecl_native_test.sh PSCOPECL MAKE_TREE WORKDIR
# The native program on an offline tree with mixed-case names: its listing
# (times in the offline system's zone), its verification and help, and its
# messages for a remote computer, a missing target, a directory that cannot
# be listed, nothing to compare, a missing and a damaged registry file.
set -eu
pscopecl=$1 make_tree=$2 work=$3
rm -rf "$work"; mkdir -p "$work"
"$make_tree" "$work/image"
win=$work/image/WINNT
cr=$(printf '\r') tab=$(printf '\t')
failures=0

sorted_files() { awk -f "$(dirname -- "$0")/../sorted_files.awk"; }

# expect NAME CODE EXPECTED ARGS...: exit code and exact bytes of standard
# output (its lines sorted with SORT=1), and of standard error ($ERR).
expect() {
  name=$1 code=$2 expected=$3; shift 3
  set +e; "$pscopecl" "$@" >"$work/out" 2>"$work/err"; got=$?; set -e
  [ -z "${SORT:-}" ] || { LC_ALL=C sort "$work/out" >"$work/sorted"; mv "$work/sorted" "$work/out"; }
  if [ "$got" -ne "$code" ] || ! printf '%s' "$expected" | cmp -s - "$work/out" ||
     ! printf '%s' "${ERR:-}" | cmp -s - "$work/err"; then
    echo "FAIL $name: exit $got (want $code), output:"; od -c "$work/out" | head -20; cat "$work/err"
    failures=$((failures + 1))
  fi
}

set +e; "$pscopecl" "/offline:$win" >"$work/listing" 2>"$work/err"; code=$?; set -e
sorted_files <"$work/listing" >"$work/sorted"
printf '%s\r\n' \
  "Q123456${tab}Café printing fix${tab}Cafeé.dll, Uninst.INF" \
  "Q234567${tab}First line${tab}" \
  "Q456789${tab}Summer fix${tab}2001-07-15 12:00:00${tab}" \
  "Q345678${tab}Service pack fix${tab}2001-03-04 14:02:08${tab}a.dll, b.sys, hotfix.exe, hotfix.inf" \
  >"$work/expected"
if [ "$code" -ne 0 ] || ! cmp -s "$work/expected" "$work/sorted" || [ -s "$work/err" ]; then
  echo "FAIL listing: exit $code"; diff "$work/expected" "$work/sorted" || true; cat "$work/err"
  failures=$((failures + 1))
fi
# The date field is left out where there is no uninst.inf; the path keeps its case.
expect fields 0 "Q123456${cr}
Q234567${cr}
Q456789${tab}2001-07-15 12:00:00${cr}
Q345678${tab}2001-03-04 14:02:08${cr}
" qt "/OFFLINE:$win"
expect remote 1 "pscopecl: Remote computers need the Windows program; here only /OFFLINE:<Windows directory> can be listed (\\\\SERVER).${cr}
" "/offline:$win" '\\server'
expect no-target 1 "pscopecl: This computer has no hotfixes of its own; name a mounted Windows directory with /OFFLINE:<Windows directory>.${cr}
" Q
# Verified by times (no script places the files): a.dll installed since,
# the others missing; a directory that cannot be listed; nothing to compare.
printf 'x' >"$win/System32/A.DLL"
SORT=1 expect verify 2 "Q123456${tab}Cafeé.dll${tab}Missing${tab}${tab}${tab}${cr}
Q123456${tab}Uninst.INF${tab}Missing${tab}${tab}${tab}${cr}
Q345678${tab}a.dll${tab}In effect${tab}$win/System32/A.DLL${tab}${tab}${cr}
Q345678${tab}b.sys${tab}Missing${tab}${tab}${tab}${cr}
" /VERIFY "/offline:$win"
q3=$win/\$NtUninstallQ345678\$
rm -r "$q3"; ln -s loop "$q3"; ln -s "$q3" "$win/loop"
ERR="pscopecl: $q3 cannot be listed: Too many levels of symbolic links.${cr}
" expect unlistable 1 "Q123456${cr}
Q234567${cr}
Q456789${tab}2001-07-15 12:00:00${cr}
Q345678${cr}
" qt "/offline:$win"
rm -r "$win/\$NTUNINSTALLQ123456\$" "$q3"
ERR="pscopecl: No hotfix has saved files to compare.${cr}
" expect nothing-to-compare 1 "" /verify "/OFFLINE:$win"
"$pscopecl" /? | grep -qx "Syntax: pscopecl /OFFLINE:<Windows directory> \[Q\]\[D\]\[T\]\[F\] \[/VERIFY\] \[/?\]${cr}" ||
  { echo "FAIL help"; failures=$((failures + 1)); }
expect missing-hive 1 "pscopecl: The registry file $work/image/winnt/system32/config/software does not exist.${cr}
" "/OFFLINE:$work/image/winnt"
software=$win/System32/CONFIG/SOFTWARE
printf 'rexf' | dd of="$software" conv=notrunc status=none
expect wrong-signature 1 "pscopecl: $software is not a registry file.${cr}
" "/OFFLINE:$win"
"$make_tree" "$work/image"
# The root key's signature spoilt: damaged at its cell, whose offset the base block gives.
root=$((4096 + $(od -An -tu4 -j36 -N4 "$software" | tr -d ' ')))
printf 'xx' | dd of="$software" bs=1 seek=$((root + 4)) conv=notrunc status=none
expect root-key 1 "pscopecl: $software is damaged at offset 0x$(printf %X "$root").${cr}
" "/OFFLINE:$win"
"$make_tree" "$work/image"
# Cut short by 4 KB: damaged where the bin that the cut falls into begins,
# found by walking the bins' own sizes (a bin's size at its offset 8).
cut=$(($(stat -c %s "$software") - 4096)) bin=4096
while size=$(od -An -tu4 -j$((bin + 8)) -N4 "$software" | tr -d ' ') && [ $((bin + size)) -le "$cut" ]; do
  bin=$((bin + size))
done
truncate -s "$cut" "$software"
expect truncated 1 "pscopecl: $software is damaged at offset 0x$(printf %X "$bin").${cr}
" "/OFFLINE:$win"
[ "$failures" -eq 0 ] && echo "pscopecl_native: all passed"
exit "$failures"
