#!/usr/bin/env bash
# The console under Wine on systems other than English (United States): Wine takes the code
# page and the date formats from the locale it starts in.
# - German (de-DE) and Russian (day-first dates): Live Update asks the local definition server, which takes
#   United States dates only, with "3/16/2006" and then with the date the server gave, stored
#   in date.dat as sent; an older server date sends no definitions query; a date.dat written in
#   the German form is still read.
# - Russian (code page 1251): a definition "ЧЁ.EXE" finds "чё.exe" in a Folder Scan (letters
#   that have no case in 1252), and the JSON shows the Cyrillic name in UTF-8.
# - Japanese (code page 932): a name whose second byte is "\" is one letter, not a folder
#   separator, in the walk, the definitions and the JSON.
#   cli_locales_test.sh PREFIX CLI_EXE DEMO_DATA_DIR DEFSERVER
set -u
prefix=$1 built_cli=$2 demo=$3 defserver=$4
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
work="$prefix/drive_c/qm-cli-locales"
rm -rf "$work"
mkdir -p "$work"
out="$work/stdout" err="$work/stderr"
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null' EXIT
source "$(dirname "$0")/checks.sh"

in_locale() {  # in_locale LOCALE ARGS...: the console in that locale's code page and formats
  local locale=$1
  shift
  LANG=$locale LC_ALL=$locale "$wine" "$cli" "$@" >"$out" 2>"$err" </dev/null
  rc=$?
}

# --- German: the update talks to the server in its own date form ---
if [ ! -x "$defserver" ]; then
  echo "FAILED: no definition server at $defserver (the native build makes it)"
  exit 1
fi
mkdir -p "$work/de"
cp "$demo"/*.dat "$work/de/"
data='C:\qm-cli-locales\de'
db="$work/publication.db"
"$defserver" create "$db" >/dev/null
"$defserver" keygen "$db" >/dev/null
program_with_keys "$built_cli" "$work" 'C:\qm-cli-locales' "$db"
publish() {  # publish NAME DATE
  printf '%s=German Threat|[progfil]German Vendor|Adware\n' "$1" >"$work/pub.txt"
  "$defserver" publish "$db" FILE "$work/pub.txt" --at "$2" >/dev/null
}
publish qmde-one.exe "12/2/2026 8:00:00 AM"
"$defserver" serve "$db" --port 0 --port-file "$work/port" >"$work/serve.log" 2>&1 &
pid=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
server="http://127.0.0.1:$(cat "$work/port")"
asked() { grep -c "getDefsNEW.asp date=$1 200" "$work/serve.log"; }

in_locale de_DE.UTF-8 --json --data-folder "$data" --server "$server" update
check "de: the first update succeeds" grep -q '"status":"updated"' "$out"
check "de: it asked since 3/16/2006" test "$(asked '3/16/2006')" -eq 1
check "de: date.dat holds the server's date as sent" \
  cmp -s <(printf '12/2/2026 8:00:00 AM\r\n') "$work/de/date.dat"

publish qmde-two.exe "12/5/2026 10:00:00 AM"
in_locale de_DE.UTF-8 --json --data-folder "$data" --server "$server" update
check "de: the second update succeeds" grep -q '"status":"updated"' "$out"
check "de: it asked since the stored date" test "$(asked '12/2/2026 8:00:00 AM')" -eq 1
check "de: the new date stored" cmp -s <(printf '12/5/2026 10:00:00 AM\r\n') "$work/de/date.dat"

printf '6.12.2026 09:00:00\r\n' >"$work/de/date.dat"
before=$(grep -c getDefsNEW "$work/serve.log")
in_locale de_DE.UTF-8 --json --data-folder "$data" --server "$server" update
check "de: an older server date is current" grep -q '"status":"current"' "$out"
check "de: and sends no definitions query" test "$(grep -c getDefsNEW "$work/serve.log")" -eq "$before"

printf '1.12.2026 08:00:00\r\n' >"$work/de/date.dat"
in_locale de_DE.UTF-8 --json --data-folder "$data" --server "$server" update
check "de: a German date.dat is read" test "$(asked '12/1/2026 8:00:00 AM')" -eq 1
# Russian dates are day-first too.
mkdir -p "$work/ru-update"
cp "$demo"/*.dat "$work/ru-update/"
in_locale ru_RU.UTF-8 --json --data-folder 'C:\qm-cli-locales\ru-update' --server "$server" update
check "ru: the update succeeds" grep -q '"status":"updated"' "$out"
check "ru: it asked since 3/16/2006" test "$(asked '3/16/2006')" -eq 2
kill "$pid"
wait "$pid" 2>/dev/null
pid=

# --- Russian and Japanese: case and characters of the system's code page ---
scramble() {  # scramble: stdin's bytes line-scrambled, as a definition file holds them
  python3 -c '
import sys
out = bytearray()
for b in sys.stdin.buffer.read():
    out.append(b if b in (13, 10) else (b + 64 if b + 64 <= 255 else b + 64 - 255))
sys.stdout.buffer.write(bytes(out))'
}
folder_scan() {  # folder_scan LOCALE DIR NAME DEFINITION: JSON of a Folder Scan of DIR\target
  local locale=$1 dir=$2 name=$3 definition=$4
  mkdir -p "$work/$dir/data" "$work/$dir/target/Vendor"
  cp "$demo"/*.dat "$work/$dir/data/"
  printf '%s\r\n' "$definition" | scramble >>"$work/$dir/data/FileDefinition.dat"
  echo sample >"$work/$dir/target/Vendor/$name"
  in_locale "$locale" --json --data-folder "C:\\qm-cli-locales\\$dir\\data" \
    scan folder "C:\\qm-cli-locales\\$dir\\target"
}

# 1251: "ЧЁ.EXE" (D7 A8) names the file "чё.exe" (F7 B8); the threat's name is Cyrillic too.
folder_scan ru_RU.UTF-8 ru 'чё.exe' \
  "$(printf '\xd7\xa8.EXE=\xd3\xe3\xf0\xee\xe7\xe0|C:\\qm-cli-locales\\ru\\target\\Vendor|Adware')"
check "ru: the Folder Scan finds it" test "$rc" -eq 1
# The results name the path in lower case, as the scan compares it.
check "ru: the JSON names the file in Cyrillic" grep -q 'vendor\\\\чё.exe' "$out"
check "ru: and the threat" grep -q '"Угроза"' "$out"

# 932: "表" is 95 5C, its second byte a "\"; the name is "表A.exe", not "A.exe" in a folder "表".
folder_scan ja_JP.UTF-8 ja '表A.exe' \
  "$(printf '\x95\x5cA.EXE=Japanese Threat|C:\\qm-cli-locales\\ja\\target\\Vendor|Adware')"
check "ja: the Folder Scan finds it" test "$rc" -eq 1
check "ja: the JSON names the file" grep -q 'vendor\\\\表a.exe' "$out"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
