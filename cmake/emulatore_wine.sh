#!/bin/sh
# Runs a Windows program of the build under Wine; ctest's emulator:
#   emulatore_wine.sh WINE_LOADER PROGRAM [ARGUMENTS...]
# Wine's background services start with the first Windows program and keep
# its output open, so ctest would wait for ever for the end of that output.
# A Wine server that outlives each program by 60 s is therefore started first,
# and the services with it, with their output sent nowhere. The prefix is
# Wine's usual one (WINEPREFIX, or ~/.wine), created on first use.
wine=$1
shift
WINEDEBUG=${WINEDEBUG:--all}
export WINEDEBUG
server=$(dirname "$wine")/wineserver
[ -x "$server" ] || server=wineserver
# Exit status 0: no server ran for this prefix and this one has started.
if "$server" -p60 </dev/null >/dev/null 2>&1; then
  "$wine" wineboot </dev/null >/dev/null 2>&1 || true
fi
exec "$wine" "$@"
