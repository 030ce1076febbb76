#!/usr/bin/env bash
# Checks the built exe: at most 24 KiB, and importing only DLLs that every Windows has.
set -euo pipefail
exe=$1
allowed="kernel32.dll user32.dll gdi32.dll advapi32.dll ddraw.dll msvcrt.dll"
size=$(stat -c %s "$exe")
echo "size: $size bytes"
status=0
if [ "$size" -gt 24576 ]; then echo "FAIL: $exe is $size bytes, over 24 KiB"; status=1; fi
imports=$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
echo "imports:" $imports
for dll in $imports; do
    case " $allowed " in
        *" $dll "*) ;;
        *) echo "FAIL: imports $dll, which not every Windows has"; status=1 ;;
    esac
done
# The tool's own imports must be there too: a build that lost one would not run as designed.
for needed in advapi32.dll ddraw.dll user32.dll; do
    echo "$imports" | grep -qx "$needed" || { echo "FAIL: does not import $needed"; status=1; }
done
exit $status
