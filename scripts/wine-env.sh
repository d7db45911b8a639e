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

# Clean-up steps run when the script ends, also on Ctrl+C or a kill, last
# registered first.
velmorax_cleanup_steps=()
velmorax_at_exit() {
    velmorax_cleanup_steps=("$1" "${velmorax_cleanup_steps[@]}")
    trap velmorax_run_cleanup EXIT
    trap 'exit 129' HUP
    trap 'exit 130' INT
    trap 'exit 143' TERM
}
velmorax_run_cleanup() {
    local step
    for step in "${velmorax_cleanup_steps[@]}"; do eval "$step"; done
    velmorax_cleanup_steps=()
}

# Starts an Xvfb server with the given screen (WIDTHxHEIGHTxDEPTH) for the
# rest of the script, exports DISPLAY, and stops the server when the script
# ends. Fails with a message when no display comes up.
velmorax_start_xvfb() {
    local screen=$1 display_file number="" pid
    if ! command -v Xvfb >/dev/null; then
        echo "velmorax: Xvfb is not installed; run scripts/setup.sh first" >&2
        return 1
    fi
    display_file=$(mktemp /tmp/velmorax-display.XXXXXX)
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$display_file" 2>/dev/null &
    pid=$!
    velmorax_at_exit "kill $pid 2>/dev/null; wait $pid 2>/dev/null"
    for _ in $(seq 100); do
        number=$(head -n1 "$display_file")
        [ -n "$number" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$display_file"
    if [ -z "$number" ] || ! kill -0 "$pid" 2>/dev/null; then
        echo "velmorax: the virtual display (Xvfb $screen) did not come up" >&2
        return 1
    fi
    export DISPLAY=":$number"
}
