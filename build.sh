#!/bin/bash
# One entry point for a Debian 12 machine: installs what is missing, builds, then
#   bash build.sh run    starts vexolind under Wine
#   bash build.sh test   runs every test
#   bash build.sh package   writes the installer, zip, checksums and winget and Scoop manifests
#                           into dist/, signed when VX_SIGN_* name a certificate (README.md)
#   bash build.sh fuzz   fuzzes the parsers, FUZZ_SECONDS (default 60) a target
#   bash build.sh bench  measures vexolind's footprint against a bare tray program
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")"

packages=(cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 googletest
          wine wine64 xvfb xcompmgr imagemagick x11-utils xdotool
          nsis python3 python3-yaml git osslsigncode openssl fonts-noto-cjk)
packages+=(clang libclang-rt-14-dev)   # the parsers' fuzz targets, built natively

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return
    echo "Installing ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
    cmake --preset mingw-cross
    cmake --build --preset mingw-cross
}

package() {
    cmake --build --preset mingw-cross --target dist
}

run() {
    local exe=build/mingw-cross/vexolind.exe
    local dir=build/mingw-cross/wine-run
    if [ -n "${DISPLAY:-}" ]; then
        # A private prefix even on the user's own display: ~/.wine is never touched.
        export WINEPREFIX=$PWD/$dir/prefix WINEDEBUG=-all
        export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
        mkdir -p "$dir"
        [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >"$dir/wineboot.log" 2>&1
        echo "Starting vexolind on $DISPLAY; its icon is in the tray (right-click it, Exit to end)."
        wine "$exe"
        return
    fi
    tests/wine/session.sh start "$PWD/$dir"
    trap 'tests/wine/session.sh stop "$PWD/$dir"' EXIT
    VEXOLIND_WINE_DIR=$PWD/$dir build/mingw-cross/winerun.sh "$exe" >"$dir/vexolind.log" 2>&1 &
    local pid=$!
    local display shot=$PWD/$dir/screenshot.png
    display=$(cat "$dir/display")
    sleep 6
    import -display "$display" -window root "$shot"
    echo "vexolind is running on a private X display; screenshot: $shot"
    # Without a network the start-up update check reports its failure; answer it as a user would.
    if DISPLAY=$display xdotool search --name '^vexolind$' >/dev/null 2>&1; then
        DISPLAY=$display xdotool key Return
        sleep 4
        import -display "$display" -window root "$PWD/$dir/screenshot-after-ok.png"
        echo "after answering its start-up message: $PWD/$dir/screenshot-after-ok.png"
    fi
    echo "Press Ctrl-C to stop it."
    wait "$pid" || true
}

fuzz() {
    local target
    for target in reply cmdline msgfile; do
        fuzz/fuzz.sh run "$target" "${FUZZ_SECONDS:-60}" "$PWD/build/fuzz"
    done
}

bench() {
    cmake --preset mingw-cross -DVEXOLIND_BENCH=ON
    cmake --build --preset mingw-cross --target vexolind vxbare vxbench
    bench/run.sh build/mingw-cross
}

case "${1:-}" in
    run) install_missing; build; run ;;
    test) install_missing; build; package; ctest --preset mingw-cross ;;
    build) install_missing; build ;;
    package) install_missing; build; package; ls -l dist ;;
    fuzz) install_missing; fuzz ;;
    bench) install_missing; bench ;;
    *) echo "usage: bash build.sh run|test|build|package|fuzz|bench"; exit 2 ;;
esac
