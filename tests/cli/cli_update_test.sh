#!/usr/bin/env bash
# `quillmarsh-cli update` under Wine against the local definition server on loopback, which
# signs every answer with the key the program's folder lists:
# - an answer changed on the way, stripped of its signature, signed by another key, or a date
#   answer replayed from days ago merges nothing, leaves date.dat and every definition file as
#   they were, and exits 2 with "unverified";
# - a signed publication that adds a threat, deletes one, and adds a cookie, a registry and a
#   safe-list record is merged; the next File Scan finds the new threat, not the deleted one and
#   not the one the safe list now protects; an equal date asks for nothing more;
# - a new server key introduced by the installed one is learned and verifies the next update;
# - a stopped server is told.
#   cli_update_test.sh PREFIX CLI_EXE DEMO_DATA_DIR DEFSERVER
set -u
prefix=$1 built_cli=$2 demo=$3 defserver=$4
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
pids=()
out="$work/stdout" err="$work/stderr"
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done' EXIT

source "$(dirname "$0")/checks.sh"

serve() {  # serve DB NAME: the server's URL in $url
  rm -f "$work/$2.port"
  "$defserver" serve "$1" --port 0 --port-file "$work/$2.port" >"$work/$2.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$work/$2.port" ] && break; sleep 0.05; done
  url="http://127.0.0.1:$(cat "$work/$2.port")"
}

publish() {  # publish DB: the same publication in any database
  "$defserver" create "$1" >/dev/null
  "$defserver" keygen "$1" >/dev/null
  for kind_file in FILE:new COOK:cookie REG:reg SFILE:safe; do
    "$defserver" publish "$1" "${kind_file%%:*}" "$work/${kind_file#*:}.txt" \
      --at "12/5/2026 10:00:00 AM" >/dev/null
  done
  "$defserver" delete "$1" FILE qmdemo-adbar.exe --at "12/5/2026 10:00:00 AM" >/dev/null
}

db="$work/publication.db"
printf 'qmupdate-new.exe=Update Threat|[progfil]Update Vendor|Adware\n' >"$work/new.txt"
printf 'qmupdate-safe.exe=Safe Threat|[progfil]Update Vendor\\Safe|Adware\n' >>"$work/new.txt"
printf 'qmupdate-tracker.example\n' >"$work/cookie.txt"
printf '1^Software\\QmUpdateThreat^=Update Registry Threat|Adware\n' >"$work/reg.txt"
printf 'Safe|C:\\qm-cli-update\\Program Files\\Update Vendor\\Safe\\qmupdate-safe.exe\n' >"$work/safe.txt"
publish "$db"
program_with_keys "$built_cli" "$work" 'C:\qm-cli-update' "$db"
serve "$db" maker
server=$url
# The man in the middle, between the program and the maker's server.
echo pass >"$work/mode"
python3 "$(dirname "$0")/answer_proxy.py" "$work/proxy.port" "$server" "$work/mode" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/proxy.port" ] && break; sleep 0.05; done
proxy="http://127.0.0.1:$(cat "$work/proxy.port")"

run --json --data-folder "$data" scan file 'C:\qm-cli-update\Program Files\Demo AdBar\qmdemo-adbar.exe'
check "before: the old threat is found" test "$rc" -eq 1
count_of() { grep -o "\"$1\":[0-9]*" "$out" | head -1 | cut -d: -f2; }
run --json --data-folder "$data" defs count
cookies_before=$(count_of cookies) registry_before=$(count_of registry)

# Nothing a forger sends changes a file.
fingerprint() { (cd "$work/data" && md5sum ./*.dat 2>/dev/null | sort); }
before=$(fingerprint)
refused() {  # refused NAME [SERVER]
  run --json --data-folder "$data" --server "${2:-$proxy}" update
  check "$1: exits 2" test "$rc" -eq 2
  check "$1: status unverified" grep -q '"status":"unverified"' "$out"
  check "$1: says so" grep -q 'could not be verified' "$err"
  check "$1: no file changed" test "$(fingerprint)" = "$before"
}
echo flip >"$work/mode"
refused "one byte changed"
echo strip >"$work/mode"
refused "the signature removed"
publish "$work/other.db"
serve "$work/other.db" other
refused "signed by another key" "$url"
check "another key: says why" grep -q 'signed by an unknown key' "$err"
# A date answer the maker's key signed three days ago, replayed today.
"$defserver" sign "$db" date "12/9/2026 10:00:00 AM" --days-ago 3 \
  >"$work/old-date"
printf 'replay %s\n' "$work/old-date" >"$work/mode"
asked=$(grep -c getDefsNEW "$work/maker.log")
refused "a stale date replayed"
check "a stale date: says why" grep -q 'signed too long ago' "$err"
check "the replay asked for no definitions" test "$(grep -c getDefsNEW "$work/maker.log")" -eq "$asked"
echo pass >"$work/mode"

run --json --data-folder "$data" --server "$proxy" update
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

asked=$(grep -c 'getDefsNEW' "$work/maker.log")
run --data-folder "$data" --server "$server" update
check "an equal date is current" grep -q 'The definitions are current' "$out"
check "and sends no definitions query" test "$(grep -c 'getDefsNEW' "$work/maker.log")" -eq "$asked"

# The maker changes keys; the program learns the new one from the server, on the old one's word.
"$defserver" keygen "$db" --retire-old-after 30 >"$work/new-key"
printf 'qmupdate-second.exe=Second Threat|[progfil]Update Vendor|Adware\n' >"$work/second.txt"
"$defserver" publish "$db" FILE "$work/second.txt" --at "12/6/2026 10:00:00 AM" >/dev/null
run --json --data-folder "$data" --server "$proxy" update
check "a rotated key: updated" grep -q '"status":"updated"' "$out"
check "and learned" grep -q "$(cut -d' ' -f2 "$work/new-key")" "$work/data/LearnedUpdateKeys.txt"

kill "${pids[0]}"
wait "${pids[0]}" 2>/dev/null
run --data-folder "$data" --server "$server" update
check "a stopped server exits 2" test "$rc" -eq 2
check "and says so" grep -q 'could not be reached' "$err"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
