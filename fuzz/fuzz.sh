#!/bin/bash
# libFuzzer targets of the pure parsers, built natively with clang.
#   fuzz.sh build OUT               builds every target into OUT
#   fuzz.sh run NAME SECONDS OUT    builds if needed, then fuzzes NAME for SECONDS
# New inputs go to OUT/corpus/NAME, never into the committed seeds of fuzz/corpus/NAME.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
src=$here/../src
targets=(reply cmdline msgfile)

sources() {
    case "$1" in
        reply) echo "$here/reply.cpp $src/update/parsever.cpp" ;;   # the check reads 50 bytes
        cmdline) echo "$here/cmdline.cpp $src/shell/cmdline.cpp" ;;
        msgfile) echo "$here/msgfile.cpp $src/core/msgparse.cpp" ;;
        *) echo "no fuzz target $1" >&2; exit 2 ;;
    esac
}

build_one() {
    local name=$1 out=$2 exe=$2/fuzz_$1 stale=0 f
    for f in $(sources "$name") "$here/fuzz.sh" "$src"/update/parsever.h "$src"/shell/cmdline.h "$src"/core/msgfile.h; do
        [ "$exe" -nt "$f" ] || stale=1
    done
    [ $stale -eq 1 ] || return 0
    mkdir -p "$out"
    # shellcheck disable=SC2046
    clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
        -I"$src/update" -I"$src/shell" -I"$src/core" $(sources "$name") -o "$exe"
}

case "${1:-}" in
    build)
        for t in "${targets[@]}"; do build_one "$t" "$2"; done
        ;;
    run)
        name=$2; seconds=$3; out=$4
        sources "$name" >/dev/null
        build_one "$name" "$out"
        mkdir -p "$out/corpus/$name" "$out/artifacts"
        cd "$out"
        echo "fuzz_$name: ${seconds}s over $here/corpus/$name"
        maxlen=512
        [ "$name" = reply ] && maxlen=64
        [ "$name" = msgfile ] && maxlen=4096   # room for many lines and long ones
        exec nice -n 10 "./fuzz_$name" -max_total_time="$seconds" -max_len=$maxlen -print_final_stats=1 \
            -artifact_prefix="$out/artifacts/$name-" "$out/corpus/$name" "$here/corpus/$name"
        ;;
    *)
        echo "usage: fuzz.sh build OUT | run NAME SECONDS OUT" >&2
        exit 2
        ;;
esac
