#!/bin/sh
# wine-fixture.sh start|stop PREFIX DISPLAYFILE
#
# start: boots a private Wine prefix of the architecture WINEARCH names
# (win64 when unset) with a persistent wineserver (started
# before wineboot: a second server cannot start while one lives), a virtual
# X display whose number goes to DISPLAYFILE, and an ADMIN$ share of the own
# computer that leads to the prefix's Windows directory; removes uninstall
# directories left over from an earlier run.
# stop: ends the wineserver and the display.
set -eu
action=$1 prefix=$2 displayfile=$3
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEARCH="${WINEARCH:-win64}"

case "$action" in
start)
  wineserver -k 2>/dev/null || true
  # Wine refuses a prefix of the other architecture: a build tree's prefix
  # left from another setting is made anew.
  if [ -f "$prefix/system.reg" ] && ! grep -qx "#arch=$WINEARCH" "$prefix/system.reg"; then
    rm -rf "$prefix"
  fi
  mkdir -p "$prefix"
  if [ -s "$displayfile.pid" ]; then kill "$(cat "$displayfile.pid")" 2>/dev/null || true; fi
  rm -f "$displayfile" "$displayfile.pid"
  # All standard streams detached: CTest waits for every holder of its pipes.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" \
    </dev/null >/dev/null 2>&1 &
  echo $! >"$displayfile.pid"
  i=0
  while [ ! -s "$displayfile" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
  [ -s "$displayfile" ] || { echo "Xvfb did not start" >&2; exit 1; }
  DISPLAY=":$(cat "$displayfile")"
  export DISPLAY
  wineserver -p </dev/null >/dev/null 2>&1
  wine wineboot -i </dev/null >/dev/null 2>&1
  # Uninstall directories that a crashed test run left behind.
  rm -rf "$prefix/drive_c/windows/"'$Nt'*
  # Without a window manager on the virtual display, Wine waits two seconds
  # for one whenever a managed window hides: leave the test windows unmanaged.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
  # The registry files on disk as booted, for tests that copy them into a
  # prefix of their own: the server writes them when it ends. Then a
  # persistent server again, and Wine's background services started with
  # all streams detached (they would hold the pipes of the first test).
  wineserver -k </dev/null >/dev/null 2>&1 || true
  wineserver -w </dev/null >/dev/null 2>&1 || true
  wineserver -p </dev/null >/dev/null 2>&1
  wine wineboot </dev/null >/dev/null 2>&1
  name=$(wine cmd /c 'echo %COMPUTERNAME%' </dev/null 2>/dev/null | tr -d '\r\n')
  [ -n "$name" ] || { echo "no computer name from Wine" >&2; exit 1; }
  mkdir -p "$prefix/dosdevices/unc/$name"
  ln -sfn "$prefix/drive_c/windows" "$prefix/dosdevices/unc/$name/ADMIN\$"
  echo "Wine prefix $prefix ready, computer $name, display $DISPLAY"
  ;;
stop)
  wineserver -k 2>/dev/null || true
  if [ -s "$displayfile.pid" ]; then kill "$(cat "$displayfile.pid")" 2>/dev/null || true; fi
  rm -f "$displayfile" "$displayfile.pid"
  ;;
*)
  echo "usage: $0 start|stop PREFIX DISPLAYFILE" >&2; exit 2 ;;
esac
