#!/usr/bin/env bash
# The idle program's processor time under Wine: Quillmarsh.exe started minimised with both
# shields and the scheduler on, then with every background timer off, each measured over the
# same span after a short settling time. The figure counts the program's own Linux process and
# the wineserver, which does part of every Wine call's work.
#   bench/win32/idle_bench.sh [SECONDS]
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-60}
export WINEPREFIX=$root/build/windows/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
exe=$root/build/windows/src/ui/win32/Quillmarsh.exe
data=$WINEPREFIX/drive_c/qm-idle-bench
rm -rf "$data" && mkdir -p "$data"
cp "$root"/build/windows/demo-data/*.dat "$data/" 2>/dev/null || true
key='HKCU\Software\VB and VBA Program Settings\Quillmarsh\OptionAndSettings'
set_value() { "$wine" reg add "$key" /v "$1" /d "$2" /f >/dev/null 2>&1; }
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

wineserver -k 2>/dev/null || true
wineserver -w
Xvfb :87 -screen 0 1280x800x24 >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null; kill $xvfb 2>/dev/null; rm -rf "$data"' EXIT
export DISPLAY=:87
hz=$(getconf CLK_TCK)

measure() {
  local label=$1 on=$2
  local yes=True no=False
  [ "$on" = 1 ] || { yes=False; no=True; }
  set_value optMemorySheildOn $yes; set_value optMemorySheildOff $no
  set_value optIEHomePageSheildOn $yes; set_value optIEHomePageSheildOff $no
  set_value chkAutomaticScanYesOrNo "$on"; set_value Day 7; set_value Time "3:00:00 AM"
  set_value Date Null; set_value chkAutomaticUpdate 0
  "$wine" start /min /unix "$exe" --data-folder 'C:\qm-idle-bench' >/dev/null 2>&1
  local pid=
  for _ in $(seq 100); do
    pid=$(pgrep -f 'Quillmarsh.exe --data-folder' | head -1) && [ -n "$pid" ] && break
    sleep 0.1
  done
  local server
  server=$(pgrep wineserver | head -1)
  sleep 10
  local p0 s0 p1 s1
  p0=$(ticks "$pid"); s0=$(ticks "$server")
  sleep "$seconds"
  p1=$(ticks "$pid"); s1=$(ticks "$server")
  wineserver -k
  wineserver -w
  awk -v l="$label" -v p=$((p1 - p0)) -v s=$((s1 - s0)) -v hz="$hz" -v t="$seconds" \
    'BEGIN { printf "%-28s program %.3f%%  wineserver %.3f%%  together %.3f%% of one core\n",
             l, 100 * p / hz / t, 100 * s / hz / t, 100 * (p + s) / hz / t }'
}

measure "shields and scheduler on" 1
measure "every timer off" 0
