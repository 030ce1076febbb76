#!/usr/bin/env bash
# Checks the built 32-bit exe as it ships: at most 24 KiB, importing only DLLs that every
# Windows has, a header that is terminal-server aware and holds no link time (two builds of
# one commit must be the same file), and the manifest the tool runs under.
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

# The manifest's text, from the resource script windres makes of the exe's resources.
manifest=$(i686-w64-mingw32-windres -J coff -O rc -i "$exe" |
    sed -n '/^1 24 /,/^END/s/^ *"\(.*\)"$/\1/p' | sed 's/""/"/g; s/\\n$//')
[ -n "$manifest" ] || { echo "FAIL: no manifest (resource type 24, name 1)"; status=1; }
# attributes ELEMENT NAME: the values of NAME in every ELEMENT, in order, on one line.
attributes() {
    { grep -o "<$1\s[^>]*\b$2=\"[^\"]*\"" <<<"$manifest" || true; } | sed 's/.*="\(.*\)"$/\1/' | paste -sd' '
}
expect_attributes() {
    local found
    found=$(attributes "$1" "$2")
    [ "$found" = "$3" ] || { echo "FAIL: manifest $1 $2 is '$found', not '$3': $4"; status=1; }
}
expect_attributes requestedExecutionLevel level asInvoker "it must run as the user who starts it, unelevated"
expect_attributes requestedExecutionLevel uiAccess false "true needs a signed exe in a protected folder"
expect_attributes supportedOS Id "{e2011457-1546-43c5-a5fe-008deee3d3f0} {35138b9a-5d96-4fbd-8e2d-a2440225f93a}\
 {4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38} {1f676c76-80e1-4239-95bb-83d0f6d0da78} {8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}" \
    "Vista, 7, 8, 8.1 and 10/11 in that order"
# Aware of each monitor's DPI, v2 where Windows has it, each setting in its own namespace: the
# dialog manager lays the template out at the monitor's DPI. Common controls 6 would change how
# the fixed template looks.
expect_attributes dpiAware xmlns http://schemas.microsoft.com/SMI/2005/WindowsSettings "Vista's DPI setting"
expect_attributes dpiAwareness xmlns http://schemas.microsoft.com/SMI/2016/WindowsSettings "Windows 10's DPI setting"
for setting in "dpiAware>true/pm" "dpiAwareness>PerMonitorV2, PerMonitor"; do
    found=$({ grep -o "<${setting%%>*}\s[^>]*>[^<]*" <<<"$manifest" || true; } | sed 's/.*>//' | paste -sd'|')
    [ "$found" = "${setting#*>}" ] || { echo "FAIL: manifest ${setting%%>*} is '$found', not '${setting#*>}'"; status=1; }
done
for absent in Common-Controls dependency; do
    if grep -q "$absent" <<<"$manifest"; then echo "FAIL: the manifest holds $absent"; status=1; fi
done
exit $status
