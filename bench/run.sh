#!/bin/bash
# Runs the footprint benchmark in a private Wine session of its own:
#   bench/run.sh BUILD_DIR [RUNS [modules]]
# and prints one line a figure: each program's values, their medians and the ratio.
# "modules" also writes the DLLs each program holds to wine-bench/launcher.log.
set -euo pipefail
build=$(readlink -f "${1:?build folder}") runs=${2:-5} list=${3:-}
src=$(dirname "$(readlink -f "$0")")
dir=$build/wine-bench
session=$src/../tests/wine/session.sh

"$session" start "$dir" >/dev/null
trap '"$session" stop "$dir" >/dev/null' EXIT
export WINEPREFIX=$dir/prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
DISPLAY=$(cat "$dir/display")
export DISPLAY

# Copies with names of their own, so that the launcher finds their Linux processes and no other.
cp "$build/vexolind.exe" "$dir/vxbench-vexolind.exe"
cp "$build/bench/vxbare.exe" "$dir/vxbench-bare.exe"
# No update check and no message of its own during the run; every quiet cause on, so the idle
# figure includes the registry and process polls.
printf '[settings]\r\nmintime=3600\r\nmaxtime=3600\r\ntype=kisses\r\nautorun=0\r\nautoupdate=0\r\n' >"$dir/bench.ini"
printf '[quiet]\r\nmedia=1\r\nprograms=Teams.exe;Zoom.exe;Slack.exe\r\nhours=00:00-23:59\r\ndays=1234567\r\ntyping=1\r\naway=60\r\n' >>"$dir/bench.ini"
# Records of past use, so that the microphone and camera poll reads keys, not a missing one.
for device in microphone webcam; do
    wine reg add "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\CapabilityAccessManager\\ConsentStore\\$device\\NonPackaged\\C:#calls#call.exe" \
        /v LastUsedTimeStop /t REG_QWORD /d 9 /f >/dev/null 2>&1 || true
done

winpath() { echo "Z:$1" | tr / '\\'; }
echo "Footprint of vexolind against a bare tray program, $runs runs each, $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(nproc) cores, $(wine --version)"
wine "$build/bench/vxbench.exe" "$runs" "$(winpath "$dir/vxbench-bare.exe")" \
    "$(winpath "$dir/vxbench-vexolind.exe")" "$(winpath "$dir/bench.ini")" $list >"$dir/figures.txt" 2>"$dir/launcher.log" || true
cat "$dir/figures.txt"

size() {
    local copy=$dir/stripped.exe
    cp "$1" "$copy"
    x86_64-w64-mingw32-strip "$copy"
    stat -c %s "$copy"
}
bare=$(size "$build/bench/vxbare.exe") vx=$(size "$build/vexolind.exe")
printf '%-34s bare %s  vexolind %s  ratio %sx\n' "exe size, stripped (bytes)" "$bare" "$vx" \
    "$(awk -v a="$bare" -v b="$vx" 'BEGIN { printf "%.2f", b / a }')"
