# Sourced by the scripts that run the Windows build here: Wine with a prefix of the build's own,
# quiet, without the .NET and HTML runtimes it would otherwise offer to install.
export WINEPREFIX="${WINEPREFIX:-$PWD/build-windows/wine}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Makes the prefix once (15 to 25 s), then keeps one Wine server running, which makes each later
# start of a program quick.
start_wine() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot -i > /dev/null 2>&1
    fi
    wineserver -p
    wine cmd /c exit 0 > /dev/null 2>&1
}

# Ends the Wine server and every Windows program still running in the prefix.
stop_wine() {
    wineserver -k 2> /dev/null || true
    wineserver -w 2> /dev/null || true
}
