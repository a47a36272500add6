#!/bin/sh
# A Wine session (see session.sh) whose prefix runs at 144 dpi, that is 150 % scaling:
#   hidpi.sh start DIR    hidpi.sh stop DIR
set -e
here=$(dirname "$0")
"$here/session.sh" "$@"
[ "$1" = start ] || exit 0
export WINEPREFIX="$2/prefix" WINEDEBUG=-all DISPLAY="$(cat "$2/display")"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >"$2/dpi.log" 2>&1 </dev/null
wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels /t REG_DWORD \
    /d 144 /f >>"$2/dpi.log" 2>&1 </dev/null
