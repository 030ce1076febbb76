#!/usr/bin/env bash
# Checks the built 32-bit exe as it ships: at most 24 KiB, importing only DLLs that every
# Windows has, a header that is terminal-server aware and holds no link time (two builds of
# one commit must be the same file). The Wine tests read its resources, the manifest too.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
exe=$1
size=$(stat -c %s "$exe")
echo "size: $size bytes"
status=0
if [ "$size" -gt 24576 ]; then echo "FAIL: $exe is $size bytes, over 24 KiB"; status=1; fi
header=$(i686-w64-mingw32-objdump -p "$exe")
imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$header" | tr 'A-Z' 'a-z' | sort -u)
echo "imports:" $imports
for dll in $imports; do
    case " $VAREK_ALLOWED_DLLS " in
        *" $dll "*) ;;
        *) echo "FAIL: imports $dll, which not every Windows has"; status=1 ;;
    esac
done
# The tool's own imports must be there too: a build that lost one would not run as designed.
for needed in advapi32.dll ddraw.dll user32.dll; do
    echo "$imports" | grep -qx "$needed" || { echo "FAIL: does not import $needed"; status=1; }
done
stamp=$(sed -n 's/^Time\/Date\s*//p' <<<"$header")
if [ "$stamp" != "Thu Jan  1 00:00:00 1970" ]; then echo "FAIL: the header holds a link time, $stamp"; status=1; fi
flags=$(sed -n 's/^DllCharacteristics\s*//p' <<<"$header")
if (( (0x$flags & 0x8000) == 0 )); then
    echo "FAIL: DllCharacteristics $flags lacks TERMINAL_SERVER_AWARE (0x8000): linked without --tsaware"; status=1
fi

exit $status
