# Running the Windows program as a user would, under Wine: on the windows platform, under an X
# server of its own (Xvfb), in a fresh Wine prefix. Sourced by the scripts that do it.

# wine_session SCRIPT ARGS...: runs the calling script again under xvfb-run, unless it runs
# there already; then sets work (a fresh folder, removed at the end with the Wine prefix in it),
# WINEPREFIX and WINE.
wine_session() {
    if [ -z "${TAMSEL_WINE_SESSION:-}" ]; then
        exec env TAMSEL_WINE_SESSION=1 xvfb-run -a -s "-screen 0 1024x768x24" bash "$@"
    fi
    work=$(mktemp -d -t tamsel-win.XXXXXX)
    export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d"
    WINE=/usr/lib/wine/wine64
    trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
    $WINE wineboot -i >/dev/null 2>&1
    timeout 120 wineserver -w || true
}

# wait_for WHAT SECONDS COMMAND...: runs the command every half second until it succeeds.
wait_for() {
    local what=$1 seconds=$2
    shift 2
    local tries=$((seconds * 2))
    until "$@" >/dev/null 2>&1; do
        tries=$((tries - 1))
        if [ "$tries" -le 0 ]; then
            echo "timed out after ${seconds}s waiting for $what" >&2
            return 1
        fi
        sleep 0.5
    done
}

# The program's main window, once shown, by its title (the real program's by default); prints
# its X window.
wait_for_window() {
    timeout 60 xdotool search --sync --onlyvisible --name "${1:-^Tamsel\$}" | head -n 1
}

# close_program NAME PID: asks the program's windows to close, as their close box does, and
# waits for the program to end; fails when it does not end or ends with an error.
close_program() {
    $WINE taskkill /im "$1" >/dev/null 2>&1 || true
    wait_ended "$2"
}

# wait_ended PID: waits for the program to end by itself and checks its exit code.
wait_ended() {
    wait_for "the program to end" 60 bash -c "! kill -0 $1"
    wait "$1"
}

# fail TEXT: the calling script's failure, named after it.
fail() { echo "$(basename "$0" .sh): $*" >&2; exit 1; }

# probe ARGS...: the test probe of the build named by the calling script's $build (the stand-in
# driver's service and ports, as the system sees them).
probe() { $WINE "$build/tests/app/windows/probe.exe" "$@" | tr -d '\r'; }
