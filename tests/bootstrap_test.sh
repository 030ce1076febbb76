#!/usr/bin/env bash
# scripts/bootstrap.sh against a stand-in apt-get and dpkg that fail as Debian's mirrors
# do: one row per case, checking its exit status and what it says and asks for.
set -uo pipefail
bootstrap=$(cd "$(dirname "$0")/.." && pwd)/scripts/bootstrap.sh
stub=$(mktemp -d)
trap 'rm -rf "$stub"' EXIT
mkdir "$stub/bin"
cat >"$stub/bin/dpkg" <<'EOF'
#!/bin/sh
case $1 in
    -s) grep -qxF "$2" "$STUB/installed" ;;
    --print-foreign-architectures) cat "$STUB/arches" ;;
    --add-architecture) echo "$2" >>"$STUB/arches"; echo "dpkg --add-architecture $2" >>"$STUB/calls" ;;
    --remove-architecture) sed -i "/^$2\$/d" "$STUB/arches"; echo "dpkg --remove-architecture $2" >>"$STUB/calls" ;;
esac
EOF
cat >"$stub/bin/apt-get" <<'EOF'
#!/bin/sh
echo "apt-get $*" >>"$STUB/calls"
case " $* " in *" update "*) [ -z "$FAIL_UPDATE" ] && exit 0; echo "E: File has unexpected size"; exit 100 ;; esac
[ -n "$FAIL_ONCE" ] && [ ! -f "$STUB/failed" ] && { touch "$STUB/failed"; echo "E: Could not connect"; exit 100; }
for p; do case $p in *:"$BROKEN_ARCH") echo "E: held broken packages"; exit 100 ;; esac; done
for p; do case $p in -* | install) ;; *) echo "$p" >>"$STUB/installed" ;; esac; done
EOF
printf '#!/bin/sh\nexec "$@"\n' >"$stub/bin/sudo"
chmod +x "$stub/bin/"*

failures=0
# case NAME STATUS SAYS NOT_IN_CALLS GROUP ENV...: runs bootstrap GROUP on an empty machine.
case_() {
    local name=$1 status=$2 says=$3 absent=$4 group=$5 rc=0 out
    shift 5
    : >"$stub/installed"; : >"$stub/arches"; : >"$stub/calls"; rm -f "$stub/failed"
    out=$(env STUB="$stub" PATH="$stub/bin:$PATH" FAIL_UPDATE= FAIL_ONCE= BROKEN_ARCH=none "$@" "$bootstrap" "$group" 2>&1) || rc=$?
    if [ "$rc" -ne "$status" ] || [[ $out != *"$says"* ]] ||
        { [ -n "$absent" ] && grep -q -- "$absent" "$stub/calls"; }; then
        echo "FAILED: $name: status $rc, said:"; echo "$out" | sed 's/^/    /'
        failures=$((failures + 1))
    else
        echo "ok: $name"
    fi
}

case_ "a failed index update is a warning" 0 "warning: apt-get update failed (status 100)" "" \
    test VAREK_RUNS_32BIT=no FAIL_UPDATE=1
case_ "no 32-bit programs: no i386 architecture or package" 0 "bootstrap: done" ":i386\|add-architecture" \
    run VAREK_RUNS_32BIT=no
case_ "a broken i386 index holds back only 32-bit Wine" 0 "32-bit Wine could not be installed (wine32:i386 libfreetype6:i386)" "" \
    run VAREK_RUNS_32BIT=yes BROKEN_ARCH=i386
for p in wine wine64 xvfb g++-mingw-w64-i686; do
    grep -qx "$p" "$stub/installed" || { echo "FAILED: $p waited on the broken i386 packages"; failures=$((failures + 1)); }
done
[ ! -s "$stub/arches" ] || { echo "FAILED: the i386 architecture stayed"; failures=$((failures + 1)); }
case_ "the tests need no 32-bit Wine" 0 "bootstrap: done" ":i386\|add-architecture" \
    test VAREK_RUNS_32BIT=yes BROKEN_ARCH=i386
case_ "fuzzing needs no Wine" 0 "bootstrap: done" "wine\|i386" host VAREK_RUNS_32BIT=yes
case_ "a failed install is retried once" 0 "trying once more" "" test VAREK_RUNS_32BIT=no FAIL_ONCE=1
exit $((failures > 0))
