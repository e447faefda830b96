# Wine for the Windows pass: sourced, not run. Sets $wine, the program that
# runs a Windows program, and:
#   wine_start PREFIX   starts one Wine server for PREFIX (making the prefix the
#                       first time) on the current X display, and its services
#   wine_stop           ends that server and every program it runs
wine="$(command -v wine64 || echo /usr/lib/wine/wine64)"
wineserver="$(command -v wineserver || echo /usr/lib/wine/wineserver)"
export WINEDEBUG=-all

wine_start() {
  export WINEPREFIX="$1"
  mkdir -p "$WINEPREFIX"
  "$wineserver" -p
  "$wine" wineboot >/dev/null 2>&1
}

wine_stop() {
  "$wineserver" -k 2>/dev/null || true
}
