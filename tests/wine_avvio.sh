# Wine for the checks of the Windows programs (sourced, not run): a
# temporary prefix with its Wine server kept for the whole run, and a private
# Xvfb. Needs WINE (Wine's loader). wine_avvia exports WINEPREFIX, DISPLAY and
# SCHERMO (the -fbdir folder of the Xvfb); wine_fine stops both and removes
# them, and is meant for the caller's EXIT trap.

wine_avvia() {
  export WINEDEBUG=-all WINEPREFIX SCHERMO DISPLAY
  WINEPREFIX=$(mktemp -d)
  SCHERMO=$(mktemp -d)
  wine_server=$(dirname "$WINE")/wineserver
  [ -x "$wine_server" ] || wine_server=wineserver
  # A private X server on the first free display.
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -fbdir "$SCHERMO" -nolisten tcp >/dev/null 2>&1 &
  wine_xvfb=$!
  DISPLAY=":$n"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  xdpyinfo >/dev/null 2>&1 || { echo "Xvfb non parte" >&2; return 1; }
  # The prefix, and a Wine server kept for the whole run with its services'
  # output sent nowhere (see cmake/emulatore_wine.sh).
  "$wine_server" -p </dev/null >/dev/null 2>&1
  "$WINE" wineboot -i </dev/null >/dev/null 2>&1
}

wine_fine() {
  if [ -n "${wine_server:-}" ]; then WINEPREFIX=$WINEPREFIX "$wine_server" -k 2>/dev/null || true; fi
  if [ -n "${wine_xvfb:-}" ]; then kill "$wine_xvfb" 2>/dev/null || true; fi
  rm -rf "${WINEPREFIX:-}" "${SCHERMO:-}"
}
