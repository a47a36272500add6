#!/bin/bash
# Starts and stops the private X display and Wine prefix that the Windows tests run in.
#   session.sh start DIR [WIDTHxHEIGHT [composite]]   session.sh stop DIR
# Everything lives under DIR; the user's own ~/.wine and display are never touched.
# "composite" adds a compositing manager, without which X shows a layered window's
# partly transparent pixels unblended, unlike Windows.
set -u
cmd=${1:?start or stop} dir=${2:?session folder} screen=${3:-1024x768} composite=${4:-}
export WINEPREFIX=$dir/prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

stop() {
    if [ -f "$dir/prefix/system.reg" ]; then
        wineserver -k >/dev/null 2>&1
        wineserver -w >/dev/null 2>&1
    fi
    if [ -f "$dir/compositor.pid" ]; then
        kill "$(cat "$dir/compositor.pid")" 2>/dev/null
        rm -f "$dir/compositor.pid"
    fi
    if [ -f "$dir/xvfb.pid" ]; then
        pid=$(cat "$dir/xvfb.pid")
        if kill "$pid" 2>/dev/null; then
            for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        fi
        rm -f "$dir/xvfb.pid" "$dir/display"
    fi
}

start() {
    mkdir -p "$dir"
    stop   # whatever an interrupted run left behind
    # A display number left from the last run would be read before Xvfb writes the new one.
    rm -f "$dir/displayfd"
    # Every child's output goes to a file: a Wine server holding ctest's pipe would hang the run.
    Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$dir/displayfd" >"$dir/xvfb.log" 2>&1 </dev/null &
    echo $! >"$dir/xvfb.pid"
    for _ in $(seq 100); do [ -s "$dir/displayfd" ] && break; sleep 0.1; done
    [ -s "$dir/displayfd" ] || { echo "Xvfb did not start"; cat "$dir/xvfb.log"; exit 1; }
    export DISPLAY=":$(head -n1 "$dir/displayfd")"
    echo "$DISPLAY" >"$dir/display"
    if [ "$composite" = composite ]; then
        command -v xcompmgr >/dev/null || { echo "xcompmgr is not installed"; stop; exit 1; }
        xcompmgr >"$dir/compositor.log" 2>&1 </dev/null &
        echo $! >"$dir/compositor.pid"
    fi
    [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >"$dir/wineboot.log" 2>&1 </dev/null
    # A server that stays up between test programs saves seconds on every start.
    wineserver -p >"$dir/wineserver.log" 2>&1 </dev/null
    # Without a window manager, managed windows wait two seconds for one on every show and close.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >"$dir/reg.log" 2>&1 </dev/null
    # Japanese, Chinese and Korean dialogs find the fonts their Windows has.
    wine regedit /S "$(dirname "$0")/cjkfonts.reg" >"$dir/fonts.log" 2>&1 </dev/null
    wine cmd /c exit >"$dir/warmup.log" 2>&1 </dev/null
    echo "Wine session on display $DISPLAY, prefix $WINEPREFIX"
}

case $cmd in
    start) start ;;
    stop) stop; echo "Wine session in $dir stopped" ;;
    *) echo "usage: $0 start|stop DIR [WIDTHxHEIGHT [composite]]"; exit 2 ;;
esac
