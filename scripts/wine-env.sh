# Shared settings for running the program under Wine; sourced by the scripts.
export WINELOADER=/usr/lib/wine/wine64
export WINEDEBUG=${WINEDEBUG:--all}
# No prompts to install Mono or Gecko into a new prefix.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
VELMORAX_WINE=/usr/lib/wine/wine64
VELMORAX_WINESERVER=/usr/lib/wine/wineserver64
[ -x "$VELMORAX_WINESERVER" ] || VELMORAX_WINESERVER=wineserver

# Makes a new Wine prefix in the given folder, quietly.
velmorax_make_prefix() {
    mkdir -p "$1"
    WINEPREFIX="$1" "$VELMORAX_WINE" wineboot -i >/dev/null 2>&1
    WINEPREFIX="$1" "$VELMORAX_WINESERVER" -w >/dev/null 2>&1
}
