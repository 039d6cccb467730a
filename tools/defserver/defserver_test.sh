#!/usr/bin/env bash
# The definition server end to end: a database made and published to with the tool's own
# commands, then served on a free loopback port and asked as the program asks; each signed
# answer taken as a client takes it (qm_answer_check reads it with the core's functions).
#   defserver_test.sh QM_DEFSERVER QM_ANSWER_CHECK
set -u
server=$1 answer_check=$2
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

printf 'Language=Deutsch\r\nOK=Gut\r\n' >"$work/Localization.txt"
"$server" translation "$db" "$work/Localization.txt" >/dev/null || exit 1

# Signing keys: none yet, so the server will not serve signed.
check "keys before keygen" "" "$("$server" keys "$db")"
refusal=$(timeout 10 "$server" serve "$db" --port 0 2>&1)
check "serve without a key refuses" "2 no signing key: run qm_defserver keygen DB" "$? $refusal"
first=$("$server" keygen "$db")
first_id=$(cut -d' ' -f2 <<<"$first")
check "a first key stands alone" 1 "$(grep -cE '^QMKEY1 [0-9a-f]{16} [A-Za-z0-9+/]{87}=$' <<<"$first")"
check "the key file after one keygen" "$first" "$("$server" keys "$db")"
# What the installer ships: the first key. Later keys reach the client through "/keys".
echo "$first" >"$work/installed.txt"

serve() {  # serve PORT_FILE [OPTIONS]: the server's pid in $pid
  "$server" serve "$db" --port 0 --port-file "$@" >>"$work/serve.log" 2>&1 &
  pid=$!
  for _ in $(seq 100); do [ -s "$1" ] && break; sleep 0.05; done
  base="http://127.0.0.1:$(cat "$1")"
}
serve "$work/port"
get() { curl -s --max-time 10 "$base$1"; }
status() { curl -s -o /dev/null -w '%{http_code}' --max-time 10 "$base$1"; }
signer=$first_id
# An answer as a client takes it: its payload when it is signed by $signer for its use and
# context, else why it was refused.
take() {  # take PURPOSE CONTEXT PATH
  get /keys >"$work/offered.txt"
  get "$3" | "$answer_check" "$work/installed.txt" "$work/offered.txt" "$1" "$2" >"$work/taken"
  if [ "$(head -1 "$work/taken")" = "verified $signer" ]; then tail -n +2 "$work/taken"
  else echo "REFUSED: $(head -1 "$work/taken")"; fi
}

query='prog=Quillmarsh&comp=Quillmarsh%20Software'
check "/keys is the key file" "$("$server" keys "$db")" "$(get /keys)"
check "date query" "12/2/2026 9:30:00 AM" "$(take date '' "/asp/currentDateNEW.asp?$query")"
check "current date" "12/2/2026 9:30:00 AM" "$(take date '' /asp/date.asp)"
# A client that knows nothing of signatures cuts the date at its marker.
check "the date ends at its marker" "12/2/2026 9:30:00 AM QMSIG1 date $signer" \
  "$(get /asp/date.asp | cut -d' ' -f1-6)"
cut_short=0
for _ in $(seq 40); do
  get /asp/date.asp | cut -c22- | grep -qi pm && cut_short=$((cut_short + 1))
done
check "no morning date answer spells PM in its signature" 0 $cut_short
check "translation" "$(cat "$work/Localization.txt")" \
  "$(take translation '' /Languages/0/Localization.txt)"

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
all=$(take definitions 3/16/2006 "/asp/getDefsNEW.asp?$query&date=3/16/2006" | decode)
expected='FILE ADD qmnew.exe/New Threat/[progfil]New Vendor/Adware
FILE ADD qmother.exe/Other/[progfil]Other/Spyware
REG ADD 1^Software\QmNew^/New Threat/1^Software\QmNew/Adware
FILE DEL qmold.exe'
check "everything since the first date" "$expected" "$all"
# Strictly after: the records of the asked date itself are not sent again.
since='12/1/2026 10:00:00 AM'
check "strictly after" "FILE DEL qmold.exe" \
  "$(take definitions "$since" "/asp/getDefsNEW.asp?$query&date=${since// /%20}" | decode)"
check "nothing newer" "" \
  "$(take definitions '12/2/2026 9:30:00 AM' "/asp/getDefsNEW.asp?$query&date=12/2/2026%209:30:00%20AM")"
check "a date that is none" 400 "$(status "/asp/getDefsNEW.asp?$query&date=13/45/2026")"
check "unknown path" 404 "$(status /asp/nothing.asp)"

# A second key, made while the server runs: introduced by the first, which retires in 10 days;
# the server signs with it at once and a client that trusts the first learns it from /keys.
second=$("$server" keygen "$db" --retire-old-after 10)
second_id=$(cut -d' ' -f2 <<<"$second")
check "a later key is introduced by the one before" "$first_id $(date -u -d '+10 days' +%F)" \
  "$(cut -d' ' -f4,5 <<<"$second")"
check "the key file after two keygens" "$first
$second" "$("$server" keys "$db")"
signer=$second_id
check "the new key signs" "12/2/2026 9:30:00 AM" "$(take date '' /asp/date.asp)"

# A publication while the server runs is answered at once; at midnight the date keeps its time.
"$server" delete "$db" FILE qmother.exe --at 12/3/2026 >/dev/null || exit 1
check "the date after a publication" "12/3/2026 12:00:00 AM" "$(take date '' /asp/date.asp)"
check "the definitions after a publication" "FILE DEL qmold.exe
FILE DEL qmother.exe" \
  "$(take definitions "$since" "/asp/getDefsNEW.asp?$query&date=${since// /%20}" | decode)"

# An administrator's own unsigned server.
kill "$pid"
serve "$work/port-unsigned" --unsigned
check "unsigned date" "12/3/2026 12:00:00 AM" "$(get /asp/date.asp)"
check "unsigned definitions" "FILE DEL qmold.exe
FILE DEL qmother.exe" \
  "$(get "/asp/getDefsNEW.asp?$query&date=${since// /%20}" | decode)"

if [ $failures -ne 0 ]; then cat "$work/serve.log"; exit 1; fi
echo "definition server: all checks passed"
