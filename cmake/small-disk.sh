#!/bin/sh
# small-disk.sh mount|unmount DIR
#
# mount: mounts a file system of 16 KiB (tmpfs) on DIR, with a file "marker"
# in it, for the tests of writing to a disk that fills up. Mounting needs
# root; without it DIR stays an empty directory and those tests skip.
# unmount: unmounts DIR if it is mounted.
set -eu
action=$1 dir=$2

case "$action" in
mount)
  mkdir -p "$dir"
  if mountpoint -q "$dir" || mount -t tmpfs -o size=16k,mode=0777 patchscope-small-disk "$dir" 2>/dev/null; then
    rm -rf "$dir"/*
    echo "a disk of 16 KiB" >"$dir/marker"
  else
    echo "small-disk.sh: cannot mount a small disk on $dir (not root?): its tests skip"
  fi
  ;;
unmount)
  if mountpoint -q "$dir"; then umount "$dir"; fi
  ;;
*)
  echo "usage: $0 mount|unmount DIR" >&2
  exit 2
  ;;
esac
