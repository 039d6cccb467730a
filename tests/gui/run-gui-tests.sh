#!/usr/bin/env bash
# Runs the window tests under Wine in a virtual X display and turns their screenshots into PNG:
#   run-gui-tests.sh PREFIX TEST_EXE SCREENSHOT_DIR
set -u
prefix=$1 exe=$2 shots=$3
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A server started by a headless test keeps the prefix (and its headless desktop) for a
# moment: the windows must not open on that one, so wait for it to end. Nothing here may start
# Wine before the tests do.
wineserver -w
mkdir -p "$shots"
rm -f "$shots"/*.bmp
# Drive Z: is the Linux root.
export QM_SCREENSHOT_DIR="Z:${shots//\//\\}"
out=$(mktemp)
xvfb-run -a -s "-screen 0 1280x800x24" /usr/lib/wine/wine64 "$exe" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
for bmp in "$shots"/*.bmp; do
  [ -e "$bmp" ] || continue
  convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
wineserver -k 2>/dev/null || true
exit $rc
