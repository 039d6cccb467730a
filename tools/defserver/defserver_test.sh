#!/usr/bin/env bash
# The definition server end to end: a database made and published to with the tool's own
# commands, then served on a free loopback port and asked as the program asks.
#   defserver_test.sh QM_DEFSERVER
set -u
server=$1
work=$(mktemp -d)
pid=
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
failures=0
check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then echo "FAIL $1: expected [$2], got [$3]"; failures=$((failures + 1)); fi
}

db=$work/publication.db
"$server" create "$db" || exit 1
printf 'qmnew.exe=New Threat|[progfil]New Vendor|Adware\r\nqmother.exe=Other|[progfil]Other|Spyware\r\n' >"$work/files.txt"
printf '1^Software\\QmNew^=New Threat|Adware\n' >"$work/reg.txt"
"$server" publish "$db" FILE "$work/files.txt" --at "12/1/2026 10:00:00 AM" >/dev/null || exit 1
"$server" publish "$db" REG "$work/reg.txt" --at "12/1/2026 10:00:00 AM" >/dev/null || exit 1
"$server" delete "$db" FILE qmold.exe --at "12/2/2026 9:30:00 AM" >/dev/null || exit 1
check "bad date refused" 2 "$("$server" delete "$db" FILE x --at "13/45/2026 25:00 PM" >/dev/null 2>&1; echo $?)"
check "newest" "12/2/2026 9:30:00 AM" "$("$server" newest "$db")"

"$server" serve "$db" --port 0 --port-file "$work/port" >"$work/serve.log" 2>&1 &
pid=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
base="http://127.0.0.1:$(cat "$work/port")"
get() { curl -s --max-time 10 "$base$1"; }
status() { curl -s -o /dev/null -w '%{http_code}' --max-time 10 "$base$1"; }

query='prog=Quillmarsh&comp=Quillmarsh%20Software'
check "date query" "12/2/2026 9:30:00 AM" "$(get "/asp/currentDateNEW.asp?$query")"
check "current date" "12/2/2026 9:30:00 AM" "$(get /asp/date.asp)"

# The answer decoded: each record's kind unscrambled, its body as sent.
decode() {
  python3 -c '
import sys
answer = sys.stdin.buffer.read().decode("latin-1")
for record in answer.split("[BR]"):
    header, body = record.split("[DEF]", 1)
    kind, action = header.split("|", 1)
    plain = "".join(chr((ord(c) - 64) % 255) for c in kind)
    fields = ["".join(chr((ord(c) - 64) % 255) for c in f) for f in body.replace("=", "|").split("|")]
    print(plain, action, "/".join(fields))'
}
all=$(curl -s --max-time 10 "$base/asp/getDefsNEW.asp?$query&date=3/16/2006" | decode)
expected='FILE ADD qmnew.exe/New Threat/[progfil]New Vendor/Adware
FILE ADD qmother.exe/Other/[progfil]Other/Spyware
REG ADD 1^Software\QmNew^/New Threat/1^Software\QmNew/Adware
FILE DEL qmold.exe'
check "everything since the first date" "$expected" "$all"
# Strictly after: the records of the asked date itself are not sent again.
check "strictly after" "FILE DEL qmold.exe" \
  "$(curl -s --max-time 10 "$base/asp/getDefsNEW.asp?$query&date=12/1/2026%2010:00:00%20AM" | decode)"
check "nothing newer" "" "$(get "/asp/getDefsNEW.asp?$query&date=12/2/2026%209:30:00%20AM")"
check "a date that is none" 400 "$(status "/asp/getDefsNEW.asp?$query&date=13/45/2026")"
check "unknown path" 404 "$(status /asp/nothing.asp)"

if [ $failures -ne 0 ]; then cat "$work/serve.log"; exit 1; fi
echo "definition server: all checks passed"
