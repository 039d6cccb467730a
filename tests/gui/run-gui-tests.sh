#!/usr/bin/env bash
# Runs the window tests under Wine in a virtual X display and turns their screenshots into PNG:
#   run-gui-tests.sh PREFIX TEST_EXE SCREENSHOT_DIR
# The tests of the window's DPI run a second time in a prefix of their own whose desktop is set
# to 144 DPI (PREFIX-dpi144), so that the other tests keep the default 96.
set -u
prefix=$1 exe=$2 shots=$3
here=$(cd "$(dirname "$0")" && pwd)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$shots"
rm -f "$shots"/*.bmp
# Drive Z: is the Linux root.
export QM_SCREENSHOT_DIR="Z:${shots//\//\\}"

# Runs TEST_EXE in the prefix $1 on a virtual screen of $2 pixels with the further arguments
# given; its output is printed after it ends (a cold wineserver keeps an inherited pipe open).
run_in_prefix() {
  local in=$1 screen=$2
  shift 2
  # A server started by a headless test keeps the prefix (and its headless desktop) for a
  # moment: the windows must not open on that one, so wait for it to end.
  WINEPREFIX="$in" wineserver -w
  local out
  out=$(mktemp)
  WINEPREFIX="$in" xvfb-run -a -s "-screen 0 ${screen}x24" /usr/lib/wine/wine64 "$exe" "$@" \
    >"$out" 2>&1 </dev/null
  local rc=$?
  cat "$out"
  rm -f "$out"
  WINEPREFIX="$in" wineserver -k 2>/dev/null || true
  return $rc
}

# The 144-DPI prefix: the test prefix's settings, then the desktop's and the system's DPI.
dpi_prefix() {
  local dpi=$1 at="$prefix-dpi$1"
  "$here/../../cmake/wine-prefix-setup.sh" "$at" >/dev/null || return 1
  local stamp="$at/.quillmarsh-dpi"
  if [ "$(cat "$stamp" 2>/dev/null)" != "$dpi" ]; then
    local log
    log=$(mktemp)
    for key in 'HKCU\Control Panel\Desktop' \
      'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
      WINEPREFIX="$at" /usr/lib/wine/wine64 reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f \
        >"$log" 2>&1 </dev/null || { cat "$log"; rm -f "$log"; return 1; }
    done
    rm -f "$log"
    WINEPREFIX="$at" wineserver -w
    echo "$dpi" >"$stamp"
  fi
  echo "$at"
}

run_in_prefix "$prefix" 1280x800
rc=$?
if at=$(dpi_prefix 144); then
  export QM_EXPECTED_DPI=144
  # The same screen at 144 DPI has half as many pixels again each way.
  run_in_prefix "$at" 1920x1200 --gtest_filter='GuiTest.*Dpi*' || rc=1
  unset QM_EXPECTED_DPI
else
  echo "FAILED: the 144-DPI prefix could not be made" >&2
  rc=1
fi

for bmp in "$shots"/*.bmp; do
  [ -e "$bmp" ] || continue
  convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
exit $rc
