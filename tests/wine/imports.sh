#!/bin/sh
# Fails when the executable imports a DLL that a bare Windows installation does not have.
set -e
exe=${1:?executable}
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
echo "$exe imports:" $imports
[ -n "$imports" ] || { echo "no import table found"; exit 1; }
for dll in $imports; do
    case $(echo "$dll" | tr 'A-Z' 'a-z') in
        kernel32.dll|user32.dll|gdi32.dll|shell32.dll|advapi32.dll|wininet.dll|comctl32.dll|msvcrt.dll|wtsapi32.dll|ole32.dll) ;;
        *) echo "unexpected import: $dll"; exit 1 ;;
    esac
done
