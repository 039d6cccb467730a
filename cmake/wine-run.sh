#!/usr/bin/env bash
# Runs one Windows executable under Wine in the build's private prefix:
#   wine-run.sh PREFIX PROGRAM [ARGS...]
# Output goes to a file first: a cold wineserver keeps an inherited pipe open for seconds.
set -u
prefix="$1"
shift
mkdir -p "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
out=$(mktemp)
/usr/lib/wine/wine64 "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
exit $rc
