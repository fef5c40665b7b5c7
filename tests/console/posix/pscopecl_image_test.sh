#!/bin/sh
# pscopecl_image_test.sh PSCOPECL MAKE_TREE WORKDIR
# The native program on disk images made here from the offline test tree: a
# DOS-partitioned disk with a FAT16 and an NTFS volume, each holding WINNT
# (two Windows directories: the message, then @n and @n:path), the same disk
# split in three and as E01, VMDK and VHD, its listings and verification
# against the offline directory's, damaged images, and the images' bytes
# unchanged. The NTFS
# volume is filled through ntfs-3g, which needs root and FUSE.
set -eu
pscopecl=$1 make_tree=$2 work=$3
here=$(cd -- "$(dirname -- "$0")" && pwd)
for tool in mkfs.fat mcopy sfdisk mkntfs ntfs-3g ewfacquire qemu-img; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (tools/install-deps)"; exit 77; }
done
[ "$(id -u)" -eq 0 ] && [ -c /dev/fuse ] || { echo "SKIP: the NTFS volume needs root and FUSE"; exit 77; }
export LSAN_OPTIONS="suppressions=$here/image-lsan.supp:fast_unwind_on_malloc=0:print_suppressions=0"
rm -rf "$work"; mkdir -p "$work/mnt"; cd "$work"
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

# The tree, with one replaced file installed again later (In effect).
"$make_tree" tree
touch -d '2002-01-01 00:00:00 UTC' tree/WINNT/System32/a.dll
# FAT keeps local time: written in the offline system's zone, its stored
# times are the offline listing's times.
mkfs.fat -F 16 -s 1 -C fat.vol 4096 >/dev/null
TZ=CET-1CEST,M3.5.0/2,M10.5.0/3 mcopy -s -m -i fat.vol tree/WINNT ::/
truncate -s 8M ntfs.vol
mkntfs -q -F -f ntfs.vol 2>/dev/null
ntfs-3g ntfs.vol mnt && cp -a tree/WINNT mnt/ && umount mnt
truncate -s 14M disk.raw
printf 'start=2048, size=8192, type=6\nstart=10240, size=16384, type=7\n' | sfdisk -q disk.raw
dd if=fat.vol of=disk.raw bs=512 seek=2048 conv=notrunc status=none
dd if=ntfs.vol of=disk.raw bs=512 seek=10240 conv=notrunc status=none
ewfacquire -q -u -t disk -f encase6 disk.raw >/dev/null 2>&1
qemu-img convert -f raw -O vmdk disk.raw disk.vmdk
qemu-img convert -f raw -O vpc disk.raw disk.vhd
split -b 5M -a 3 --numeric-suffixes=1 disk.raw split.
sha256sum disk.raw disk.E01 disk.vmdk disk.vhd split.* >before

# run NAME ARGS...: exit code in $code, output in out, errors in err; a hang fails.
run() {
  name=$1; shift
  set +e; timeout 60 "$pscopecl" "$@" >out 2>err; code=$?; set -e
  [ "$code" -ne 124 ] || fail "$name: no answer after 60 s"
}
sorted() { awk -f "$here/../sorted_files.awk" out; }
expected=$(printf '%s\r\n' \
  "Q123456	Café printing fix	Cafeé.dll, Uninst.INF" \
  "Q234567	First line	" \
  "Q456789	Summer fix	2001-07-15 12:00:00	" \
  "Q345678	Service pack fix	2001-03-04 14:02:08	a.dll, b.sys, hotfix.exe, hotfix.inf")
"$pscopecl" /OFFLINE:tree/WINNT /VERIFY >verify-offline || true
grep -q "^Q345678	a.dll	In effect	tree/WINNT/System32/a.dll" verify-offline || fail "offline verification"

run two /IMAGE:disk.raw
[ "$code" -eq 1 ] && [ "$(cat out)" = "pscopecl: disk.raw holds 2 Windows directories: disk.raw@1:\\WINNT (FAT16), disk.raw@2:\\WINNT (NTFS); name one as /IMAGE:<image>@<n>:<directory>.$(printf '\r')" ] ||
  { fail "two Windows directories, exit $code"; cat out; }
for image in disk.raw split.001 disk.E01 disk.vmdk disk.vhd; do
  # FAT times as stored whatever this machine's zone, even one whose clocks
  # skip the stored 12:00 of 2001-07-15; NTFS's through the SYSTEM hive's zone.
  TZ=XST0XDT,M7.3.0/12,M10.5.0/3 run "$image@1" "/image:$image@1"
  [ "$code" -eq 0 ] && [ "$(sorted)" = "$expected" ] &&
    grep -q "^pscopecl: $image@1:\\\\WINNT is on a FAT volume, .*as stored" err ||
    { fail "$image@1: exit $code"; cat out err; }
  run "$image@2:/winnt" "/IMAGE:$image@2:/winnt"
  [ "$code" -eq 0 ] && [ "$(sorted)" = "$expected" ] && [ ! -s err ] ||
    { fail "$image@2:/winnt: exit $code"; cat out err; }
done
for volume in 1 2; do
  run "@$volume /VERIFY" /VERIFY "/IMAGE:disk.raw@$volume"
  sed "s|disk.raw@$volume:\\\\WINNT\\\\System32\\\\|tree/WINNT/System32/|" out >verify-image
  [ "$code" -eq 2 ] && cmp -s verify-offline verify-image ||
    { fail "@$volume /VERIFY: exit $code"; diff verify-offline verify-image; }
done

# Both volumes compared, one named on the command line and one in a list
# file: each column named by its image, volume and directory, the same rows.
printf '; both systems\r\nimage:disk.vmdk@2:/winnt\r\n' >fleet.txt
run compare /COMPARE /IMAGE:disk.raw@1 @fleet.txt
[ "$code" -eq 0 ] && [ "$(head -1 out)" = "Hotfix	Description	disk.raw@1:\\WINNT	disk.vmdk@2:\\WINNT$(printf '\r')" ] &&
  grep -q "^Q456789	Summer fix	2001-07-15 12:00:00	2001-07-15 12:00:00" out ||
  { fail "compare: exit $code"; cat out err; }

# The help line, after /OFFLINE:'s and aligned with it.
"$pscopecl" /? | grep -A1 "^/OFFLINE:   " | grep -q "^/IMAGE:     Followed by a disk image" || fail "help line of /IMAGE:"

# Bad input: one line naming the image (and volume), exit code 1.
# expect NAME PATTERN ARGS...
expect() {
  name=$1 pattern=$2; shift 2
  run "$name" "$@"
  [ "$code" -eq 1 ] && [ "$(wc -l <out)" -eq 1 ] && grep -q "^pscopecl: $pattern" out ||
    { fail "$name: exit $code"; cat out err; }
}
expect missing "missing.raw cannot be read as a disk image: " /IMAGE:missing.raw
expect "no volume" "disk.raw has no volume 3; its volumes are numbered 1 to 2\." /IMAGE:disk.raw@3
expect "no directory" "There is no directory disk.raw@1:\\\\WINNT\\\\nothing (FAT16)\." "/IMAGE:disk.raw@1:WINNT/nothing"
head -c 100000 /dev/urandom >noise.bin
expect "no image" "No Windows directory (a directory at a volume's root holding system32\\\\config\\\\software) on noise.bin; searched volume 1 (no file system known)\." /IMAGE:noise.bin
cp disk.E01 cut.E01; truncate -s $(($(stat -c %s disk.E01) / 2)) cut.E01
expect "truncated E01" ".*cut.E01" /IMAGE:cut.E01@2
# The NTFS volume's MFT overwritten past its system files: the records are gone.
cp disk.raw damaged.raw
mft=$(od -An -t u8 -j 48 -N 8 ntfs.vol | tr -d ' ')
spc=$(od -An -t u1 -j 13 -N 1 ntfs.vol | tr -d ' ')
dd if=/dev/zero of=damaged.raw bs=512 seek=$((10240 + mft * spc + 32)) count=400 conv=notrunc status=none
expect "damaged NTFS" ".*damaged.raw" /IMAGE:damaged.raw@2

# WINNT's cluster chain looping back on itself: read once, no hang.
cp fat.vol loop.vol
number() { od -An -t "u$1" -j "$2" -N "$1" loop.vol | tr -d ' '; }
fats=$(number 1 16) reserved=$(number 2 14) perfat=$(number 2 22)
cluster=$(number 2 $(( (reserved + fats * perfat) * 512 + 26 )))   # the root's first entry
byte() { printf "\\$(printf %o "$1")"; }
for k in $(seq 0 $((fats - 1))); do
  { byte $((cluster & 255)); byte $((cluster >> 8)); } |
    dd of=loop.vol bs=1 seek=$(( (reserved + k * perfat) * 512 + cluster * 2 )) conv=notrunc status=none
done
run loop /IMAGE:loop.vol
[ "$code" -eq 0 ] && [ "$(sorted)" = "$expected" ] || { fail "looping directory: exit $code"; cat out; }

sha256sum -c --quiet before || fail "an image changed"
[ "$failures" -eq 0 ] && echo "pscopecl_image: all passed"
exit "$failures"
