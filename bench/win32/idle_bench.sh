#!/usr/bin/env bash
# The idle program's processor time under Wine: Quillmarsh.exe started minimised with both
# shields and the scheduler on, then with every background timer off, each measured over the
# same span after a short settling time. The figure counts the program's own Linux process and
# the prefix's wineserver, which does part of every Wine call's work. A managed machine's
# browser policies can be laid in first (500 values below the user's Chrome policy key), and
# other builds of the program measured in the same run with the shields on, for a comparison
# on a machine whose load changes.
#   bench/win32/idle_bench.sh [SECONDS [OTHER_QUILLMARSH_EXE...]]
#   QM_BUILD=build/windows  the build whose program and prefix are used
#   QM_POLICY_VALUES=500    policy values to lay in before measuring (0: none)
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-60}
shift || true
build=$(cd "${QM_BUILD:-$root/build/windows}" && pwd)
policies=${QM_POLICY_VALUES:-0}
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
exe=$build/src/ui/win32/Quillmarsh.exe
name=qm-idle-bench-$$
data=$WINEPREFIX/drive_c/$name
rm -rf "$data" && mkdir -p "$data"
cp "$build"/demo-data/*.dat "$data/" 2>/dev/null || true
key='HKCU\Software\VB and VBA Program Settings\Quillmarsh\OptionAndSettings'
chrome='HKCU\Software\Policies\Google\Chrome'
set_value() { "$wine" reg add "$key" /v "$1" /d "$2" /f >/dev/null 2>&1; }
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# Other prefixes have servers of their own: this prefix's works in a folder named after the
# prefix's device and inode.
server_folder=$(printf 'server-%x-%x' "$(stat -c %d "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")
prefix_server() {
  local p
  for p in $(pgrep wineserver); do
    case $(readlink "/proc/$p/cwd") in */"$server_folder") echo "$p"; return ;; esac
  done
}

wineserver -k 2>/dev/null || true
wineserver -w
display=87
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x800x24 >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  "$wine" reg delete "$chrome" /f >/dev/null 2>&1 || true
  wineserver -k 2>/dev/null
  kill $xvfb 2>/dev/null
  rm -rf "$data"
}
trap cleanup EXIT
export DISPLAY=:$display
hz=$(getconf CLK_TCK)

if [ "$policies" -gt 0 ]; then
  lines="Windows Registry Editor Version 5.00"$'\r\n'
  for ((i = 0; i < policies; ++i)); do
    [ $((i % 100)) -eq 0 ] && lines+=$'\r\n'"[HKEY_CURRENT_USER\\Software\\Policies\\Google\\Chrome\\List$((i / 100))]"$'\r\n'
    lines+="\"$i\"=\"https://site$i.example/page\""$'\r\n'
  done
  printf '%s' "$lines" >"$data/policies.reg"
  "$wine" regedit /s "C:\\$name\\policies.reg" >/dev/null 2>&1
fi

measure() {
  local label=$1 on=$2 program=$3
  local yes=True no=False
  [ "$on" = 1 ] || { yes=False; no=True; }
  set_value optMemorySheildOn $yes; set_value optMemorySheildOff $no
  set_value optIEHomePageSheildOn $yes; set_value optIEHomePageSheildOff $no
  set_value chkBrowserPolicies "$on"
  set_value chkAutomaticScanYesOrNo "$on"; set_value Day 7; set_value Time "3:00:00 AM"
  set_value Date Null; set_value chkAutomaticUpdate 0
  "$wine" start /min /unix "$program" --data-folder "C:\\$name" >/dev/null 2>&1
  local pid=
  for _ in $(seq 100); do
    pid=$(pgrep -f "Quillmarsh.exe --data-folder C:.$name" | head -1) && [ -n "$pid" ] && break
    sleep 0.1
  done
  local server
  server=$(prefix_server)
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

echo "policy values laid in: $policies"
measure "shields and scheduler on" 1 "$exe"
for other in "$@"; do
  measure "on, $(basename "${other%/src/ui/win32/Quillmarsh.exe}")" 1 "$other"
done
measure "every timer off" 0 "$exe"
