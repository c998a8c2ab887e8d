# Sourced by the scripts that run the Windows build here: Wine with a prefix of the build's own,
# quiet, without the .NET and HTML runtimes it would otherwise offer to install.
export WINEPREFIX="${WINEPREFIX:-$PWD/build-windows/wine}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Makes the prefix once (15 to 25 s), then keeps one Wine server running, which makes each later
# start of a program quick. A server already running (the one that made the prefix lingers for a
# few seconds) is ended first: only a server started here is persistent, and it draws on the
# display of the caller.
start_wine() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot -i > /dev/null 2>&1
    fi
    stop_wine
    wineserver -p > /dev/null 2>&1
    wine cmd /c exit 0 > /dev/null 2>&1
}

# Ends the Wine server and every Windows program still running in the prefix.
stop_wine() {
    wineserver -k 2> /dev/null || true
    wineserver -w 2> /dev/null || true
}
