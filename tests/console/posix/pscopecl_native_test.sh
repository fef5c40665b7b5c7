#!/bin/sh
# pscopecl_native_test.sh PSCOPECL MAKE_TREE WORKDIR
# The native program on an offline tree with mixed-case names: its listing
# (times in the offline system's zone), its verification, and its messages
# for a remote computer, a missing target, a missing and a damaged registry file.
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
# A comparison from a list file keeping the paths' case: the image twice
# (once with a final slash) and a missing directory; one thread and sixteen
# give the same bytes, the unread target its line on standard error.
printf '; fleet\r\n\r\n %s \r\n%s/\r\n%s\r\n' "$win" "$win" "$work/image/winnt" >"$work/fleet.txt"
for threads in 1 16; do
  set +e; "$pscopecl" /compare "@$work/fleet.txt" "/threads:$threads" >"$work/compare$threads" 2>"$work/err$threads"; code=$?; set -e
  [ "$code" -eq 3 ] || { echo "FAIL compare: exit $code"; failures=$((failures + 1)); }
done
cmp -s "$work/compare1" "$work/compare16" && cmp -s "$work/err1" "$work/err16" ||
  { echo "FAIL compare: 1 and 16 threads differ"; failures=$((failures + 1)); }
printf '%s\r\n' "Hotfix${tab}Description${tab}$win${tab}$work/image/winnt" \
  "Service pack${tab}${tab}No Service Pack${tab}Not read: The registry file $work/image/winnt/system32/config/software does not exist." \
  "Q123456${tab}Café printing fix${tab}Installed${tab}" \
  "Q234567${tab}First line${tab}Installed${tab}" \
  "Q345678${tab}Service pack fix${tab}2001-03-04 14:02:08${tab}" \
  "Q456789${tab}Summer fix${tab}2001-07-15 12:00:00${tab}" >"$work/expected"
cmp -s "$work/expected" "$work/compare1" ||
  { echo "FAIL compare"; diff "$work/expected" "$work/compare1" || true; failures=$((failures + 1)); }
[ "$(cat "$work/err1")" = "pscopecl: The registry file $work/image/winnt/system32/config/software does not exist.${cr}" ] ||
  { echo "FAIL compare errors"; cat "$work/err1"; failures=$((failures + 1)); }
# A directory that cannot be listed (a link loop): the rows that could be
# read, by times (a.dll installed since), the directory on standard error.
printf 'x' >"$win/System32/A.DLL"
q4=$win/\$ntuninstallq456789\$
rm -r "$q4"; ln -s loop "$q4"; ln -s "$q4" "$win/loop"
loop="pscopecl: $q4 cannot be listed: Too many levels of symbolic links.${cr}
"
ERR=$loop SORT=1 expect verify 1 "Q123456${tab}Cafeé.dll${tab}Missing${tab}${tab}${tab}${cr}
Q123456${tab}Uninst.INF${tab}Missing${tab}${tab}${tab}${cr}
Q345678${tab}a.dll${tab}In effect${tab}$win/System32/A.DLL${tab}${tab}${cr}
Q345678${tab}b.sys${tab}Missing${tab}${tab}${tab}${cr}
" /VERIFY "/offline:$win"
ERR=$loop expect unlistable 1 "Q123456${cr}
Q234567${cr}
Q456789${cr}
Q345678${tab}2001-03-04 14:02:08${cr}
" qt "/offline:$win"
rm -r "$q4" "$win/\$NTUNINSTALLQ123456\$" "$win/\$NtUninstallQ345678\$"
ERR="pscopecl: No hotfix has saved files to compare.${cr}
" expect nothing-to-compare 1 "" /verify "/OFFLINE:$win"
expect missing-hive 1 "pscopecl: The registry file $work/image/winnt/system32/config/software does not exist.${cr}
" "/OFFLINE:$work/image/winnt"
software=$win/System32/CONFIG/SOFTWARE
printf 'rexf' | dd of="$software" conv=notrunc status=none
expect wrong-signature 1 "pscopecl: $software is not a registry file.${cr}
" "/OFFLINE:$win"
"$make_tree" "$work/image"
# Cut short inside its first bin, which follows the 4 KB base block.
truncate -s 6000 "$software"
expect truncated 1 "pscopecl: $software is damaged at offset 0x1000.${cr}
" "/OFFLINE:$win"
# A closed output ends the run with exit code 1, not with SIGPIPE.
"$make_tree" "$work/image"
code=$(python3 -c 'import os, subprocess, sys; r, w = os.pipe(); os.close(r)
print(subprocess.call(sys.argv[1:], stdout=w, stderr=subprocess.DEVNULL))' "$pscopecl" "/OFFLINE:$win")
[ "$code" = 1 ] || { echo "FAIL closed-output: exit $code"; failures=$((failures + 1)); }
# A FIFO in the registry file's place is neither read nor waited for.
rm -f "$software"; mkfifo "$software"
expect fifo-hive 1 "pscopecl: The registry file $software cannot be read.${cr}
" "/OFFLINE:$win"
rm -f "$software"
[ "$failures" -eq 0 ] && echo "pscopecl_native: all passed"
exit "$failures"
