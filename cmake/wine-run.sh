#!/bin/sh
# Runs a Windows program under Wine for CTest. The environment (WINEPREFIX,
# WINEDEBUG, PS_DISPLAY_FILE) comes from the test's properties; the display is
# the fixture's virtual one, never the user's.
if [ -n "${PS_DISPLAY_FILE:-}" ] && [ -s "$PS_DISPLAY_FILE" ]; then
  DISPLAY=":$(cat "$PS_DISPLAY_FILE")"
  export DISPLAY
fi
: "${WINEDEBUG:=-all}"
export WINEDEBUG
exec wine "$@"
