# Shell functions shared by the scripts that build whole computers in Wine
# prefixes of their own (demo/, bench/). Source it; it expects "set -eu".

# Every registry or file request of a Wine program is a round trip to the
# wineserver. Between two processors of a virtual machine each one costs a
# wake-up of the other processor, which made runs up to fifteen times slower,
# at random; so a prefix's server and its programs share one processor.
_processor=$(taskset -pc $$ | sed 's/.*[ ,:-]//')
pinned() { taskset -c "$_processor" "$@"; }

# new_prefix DIR: removes DIR (a former prefix) and boots a new prefix there,
# with its wineserver left running. Sets WINEPREFIX (absolute) and WINEDEBUG.
new_prefix() {
  _parent=$(dirname -- "$1")
  mkdir -p -- "$_parent"
  WINEPREFIX="$(cd -- "$_parent" && pwd)/$(basename -- "$1")"
  WINEDEBUG=-all
  export WINEPREFIX WINEDEBUG
  if [ -e "$WINEPREFIX" ]; then
    # Never remove a directory that is not a prefix: a wrong argument must not
    # cost anybody their files.
    if [ ! -f "$WINEPREFIX/system.reg" ] && [ -n "$(ls -A -- "$WINEPREFIX")" ]; then
      echo "$WINEPREFIX exists and is not a Wine prefix; not touching it" >&2
      return 1
    fi
    stop_prefix
    rm -rf -- "$WINEPREFIX"
  fi
  mkdir -p -- "$WINEPREFIX"
  # The persistent server first: once wineboot has started one of its own, a
  # second cannot start, and every later program pays the start-up again.
  # All streams detached: Wine's background services inherit them.
  pinned wineserver -p </dev/null >/dev/null 2>&1
  pinned wine wineboot -i </dev/null >/dev/null 2>&1
}

# stop_prefix: ends the wineserver of $WINEPREFIX (which writes the registry
# files) and waits until it is gone.
stop_prefix() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
  wineserver -w </dev/null >/dev/null 2>&1 || true
}

# native_wine PROGRAM...: runs one of Wine's own programs (regedit, reg) as
# the prefix's native one. Where Wine's 32-bit loader is installed, "wine"
# starts the 32-bit one even in a 64-bit prefix (WINEARCH win64 or unset),
# and its HKEY_LOCAL_MACHINE\SOFTWARE is the view that 64-bit programs do
# not read; the 64-bit loader is "wine64", which Debian keeps in
# /usr/lib/wine.
native_wine() {
  if [ "${WINEARCH:-win64}" = win64 ]; then
    for _loader in wine64 /usr/lib/wine/wine64; do
      if command -v "$_loader" >/dev/null 2>&1; then
        pinned "$_loader" "$@"
        return
      fi
    done
  fi
  pinned wine "$@"
}

# import_reg FILE: imports a REGEDIT4 file into the running prefix.
import_reg() {
  native_wine regedit /s "$(pinned winepath -w "$1" 2>/dev/null)" </dev/null >/dev/null 2>&1
}

# share_windows_dir: lets \\NAME\ADMIN$ of the prefix's own computer name
# lead to its Windows directory, as on a real server. Prints the name.
share_windows_dir() {
  _name=$(pinned wine cmd /c 'echo %COMPUTERNAME%' </dev/null 2>/dev/null | tr -d '\r\n')
  [ -n "$_name" ] || { echo "no computer name from Wine" >&2; return 1; }
  mkdir -p -- "$WINEPREFIX/dosdevices/unc/$_name"
  ln -sfn -- "$WINEPREFIX/drive_c/windows" "$WINEPREFIX/dosdevices/unc/$_name/ADMIN\$"
  printf '%s\n' "$_name"
}

# start_display: starts a virtual display of its own for the script's Wine
# programs and exports DISPLAY; the display and the prefix's wineserver end
# with the script. Start it before the first Wine program of a server: Wine's
# desktop process keeps the display it found.
start_display() {
  _display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$_display_file" \
    </dev/null >/dev/null 2>&1 &
  _xvfb=$!
  trap 'kill $_xvfb 2>/dev/null || true; rm -f "$_display_file"; wineserver -k </dev/null >/dev/null 2>&1 || true' EXIT
  _i=0
  while [ ! -s "$_display_file" ] && [ $_i -lt 100 ]; do sleep 0.1; _i=$((_i + 1)); done
  [ -s "$_display_file" ] || { echo "Xvfb did not start" >&2; return 1; }
  DISPLAY=":$(cat "$_display_file")"
  export DISPLAY
}
