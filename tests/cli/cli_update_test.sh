#!/usr/bin/env bash
# `quillmarsh-cli update` under Wine against the local definition server on loopback: a
# publication that adds a threat, deletes one, and adds a cookie, a registry and a safe-list
# record is merged; the next File Scan finds the new threat, not the deleted one and not the one
# the safe list now protects; an equal date asks for nothing more; a stopped server is told.
#   cli_update_test.sh PREFIX CLI_EXE DEMO_DATA_DIR DEFSERVER
set -u
prefix=$1 cli=$2 demo=$3 defserver=$4
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
if [ ! -x "$defserver" ]; then
  echo "FAILED: no definition server at $defserver (the native build makes it)"
  exit 1
fi
work="$prefix/drive_c/qm-cli-update"
rm -rf "$work"
mkdir -p "$work/data" "$work/Program Files/Update Vendor" "$work/Program Files/Demo AdBar"
cp "$demo"/*.dat "$work/data/"
printf '11/30/2026 9:00:00 AM\r\n' >"$work/data/date.dat"
echo sample >"$work/Program Files/Update Vendor/qmupdate-new.exe"
echo sample >"$work/Program Files/Demo AdBar/qmdemo-adbar.exe"
mkdir -p "$work/Program Files/Update Vendor/Safe"
echo sample >"$work/Program Files/Update Vendor/Safe/qmupdate-safe.exe"
data='C:\qm-cli-update\data'
pid=
out="$work/stdout" err="$work/stderr"
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null' EXIT

source "$(dirname "$0")/checks.sh"

db="$work/publication.db"
printf 'qmupdate-new.exe=Update Threat|[progfil]Update Vendor|Adware\n' >"$work/new.txt"
printf 'qmupdate-safe.exe=Safe Threat|[progfil]Update Vendor\\Safe|Adware\n' >>"$work/new.txt"
printf 'qmupdate-tracker.example\n' >"$work/cookie.txt"
printf '1^Software\\QmUpdateThreat^=Update Registry Threat|Adware\n' >"$work/reg.txt"
printf 'Safe|C:\\qm-cli-update\\Program Files\\Update Vendor\\Safe\\qmupdate-safe.exe\n' >"$work/safe.txt"
"$defserver" create "$db" >/dev/null
for kind_file in FILE:new COOK:cookie REG:reg SFILE:safe; do
  "$defserver" publish "$db" "${kind_file%%:*}" "$work/${kind_file#*:}.txt" \
    --at "12/5/2026 10:00:00 AM" >/dev/null
done
"$defserver" delete "$db" FILE qmdemo-adbar.exe --at "12/5/2026 10:00:00 AM" >/dev/null
"$defserver" serve "$db" --port 0 --port-file "$work/port" >"$work/serve.log" 2>&1 &
pid=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
server="http://127.0.0.1:$(cat "$work/port")"

run --json --data-folder "$data" scan file 'C:\qm-cli-update\Program Files\Demo AdBar\qmdemo-adbar.exe'
check "before: the old threat is found" test "$rc" -eq 1
count_of() { grep -o "\"$1\":[0-9]*" "$out" | head -1 | cut -d: -f2; }
run --json --data-folder "$data" defs count
cookies_before=$(count_of cookies) registry_before=$(count_of registry)

run --json --data-folder "$data" --server "$server" update
check "update exits 0" test "$rc" -eq 0
check "status updated" grep -q '"status":"updated"' "$out"
check "six changes" grep -q '"changes":6' "$out"
check "the cookie counted" test "$(count_of cookies)" -eq $((cookies_before + 1))
check "the registry record counted" test "$(count_of registry)" -eq $((registry_before + 1))
check "the server's date stored" grep -q '"date":"12/5/2026 10:00:00 AM"' "$out"
check "date.dat holds it" grep -q '12/5/2026 10:00:00 AM' "$work/data/date.dat"

run --json --data-folder "$data" scan file 'C:\qm-cli-update\Program Files\Update Vendor\qmupdate-new.exe'
check "after: the new threat is found" grep -q 'Update Threat' "$out"
run --json --data-folder "$data" scan file 'C:\qm-cli-update\Program Files\Demo AdBar\qmdemo-adbar.exe'
check "after: the deleted one is not" test "$rc" -eq 0
run --json --data-folder "$data" scan file 'C:\qm-cli-update\Program Files\Update Vendor\Safe\qmupdate-safe.exe'
check "after: the safe-listed one is not" test "$rc" -eq 0

asked=$(grep -c 'getDefsNEW' "$work/serve.log")
run --data-folder "$data" --server "$server" update
check "an equal date is current" grep -q 'The definitions are current' "$out"
check "and sends no definitions query" test "$(grep -c 'getDefsNEW' "$work/serve.log")" -eq "$asked"

kill "$pid"
wait "$pid" 2>/dev/null
pid=
run --data-folder "$data" --server "$server" update
check "a stopped server exits 2" test "$rc" -eq 2
check "and says so" grep -q 'could not be reached' "$err"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
