#!/usr/bin/env bash
# Translation and the reports to the maker through quillmarsh-cli.exe under Wine:
# - a UTF-8 translation file (byte-order mark, CR LF) beside the program is read into the
#   system's code page, which Wine takes from the locale: Cyrillic shows on a Russian system
#   (1251) and French on a Western one (1252), and what the code page lacks becomes "?";
# - the chosen language reaches the console's own messages;
# - the template lists the windows' items; a false positive and a file name reach the local
#   definition server, decoded whole, and a name sent twice is "Skipped".
#   cli_language_test.sh PREFIX CLI_EXE DEMO_DATA_DIR DEFSERVER
set -u
prefix=$1 built_cli=$2 demo=$3 defserver=$4
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
work="$prefix/drive_c/qm-cli-language"
rm -rf "$work"
mkdir -p "$work/program" "$work/data" "$work/target"
cp "$built_cli" "$work/program/quillmarsh-cli.exe"
cp "$demo"/*.dat "$work/data/"
echo harmless >"$work/target/readme.txt"
cli='C:\qm-cli-language\program\quillmarsh-cli.exe'
out="$work/stdout" err="$work/stderr"
settings='HKCU\Software\VB and VBA Program Settings\Quillmarsh\Settings'
pid=
restore() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  "$wine" reg add "$settings" /v Language /t REG_SZ /d English /f >/dev/null 2>&1
}
trap restore EXIT
source "$(dirname "$0")/checks.sh"

group() {  # group NAME ITEM-TEXT: a language whose scan status is ITEM-TEXT
  printf '<LANGUAGE_GROUP xml:lang="x">\r\n\t<LANGUAGE_NAME>%s</LANGUAGE_NAME>\r\n' "$1"
  printf '\t<TRANSLATION_ITEMS>\r\n\t\t<MSG_SCAN_COMPLETED>%s</MSG_SCAN_COMPLETED>\r\n' "$2"
  printf '\t\t<FRMMAIN_CMDSCAN>x</FRMMAIN_CMDSCAN>\r\n\t</TRANSLATION_ITEMS>\r\n</LANGUAGE_GROUP>\r\n'
}
{
  printf '\xEF\xBB\xBF<?xml version="1.0" encoding="UTF-8"?>\r\n<XML_DIZ_INFO>\r\n'
  group English 'Scanning complete.'
  group 'Français' 'Analyse terminée.'
  group 'Русский' 'Проверка завершена.'
  printf '</XML_DIZ_INFO>\r\n'
} >"$work/program/Localization.txt"

in_locale() {  # in_locale LOCALE ARGS...: the console in that locale's code page
  local locale=$1
  shift
  LC_ALL=$locale "$wine" "$cli" "$@" >"$out" 2>"$err" </dev/null
  rc=$?
}
bytes() { od -An -tx1 "$out" | tr -d ' \n'; }
hex() { printf '%s' "$1" | od -An -tx1 | tr -d ' \n'; }

in_locale en_US.UTF-8 language list
check "Western: French in 1252, Cyrillic as question marks" \
  test "$(bytes)" = "$(hex $'English\r\nFran\xe7ais\r\n???????\r\n')"
in_locale ru_RU.UTF-8 language list
check "Russian: Cyrillic in 1251, the French letter as a question mark" \
  test "$(bytes)" = "$(hex $'English\r\nFran?ais\r\n\xd0\xf3\xf1\xf1\xea\xe8\xe9\r\n')"

# The chosen language in the console's own status line.
"$wine" reg add "$settings" /v Language /t REG_SZ /d 'Русский' /f >/dev/null 2>&1
in_locale ru_RU.UTF-8 --data-folder 'C:\qm-cli-language\data' scan file 'C:\qm-cli-language\target\readme.txt'
check "the Russian status line" \
  grep -q "$(printf 'Status: \xcf\xf0\xee\xe2\xe5\xf0\xea\xe0 \xe7\xe0\xe2\xe5\xf0\xf8\xe5\xed\xe0.')" "$out"
"$wine" reg add "$settings" /v Language /t REG_SZ /d 'Français' /f >/dev/null 2>&1
in_locale en_US.UTF-8 --data-folder 'C:\qm-cli-language\data' scan file 'C:\qm-cli-language\target\readme.txt'
check "the French status line" grep -q "$(printf 'Status: Analyse termin\xe9e.')" "$out"
"$wine" reg add "$settings" /v Language /t REG_SZ /d English /f >/dev/null 2>&1

in_locale en_US.UTF-8 language template 'C:\qm-cli-language\template.txt'
check "the template is written" test "$rc" -eq 0
for item in '<FRMMAIN_CMDSTOP>Stop</FRMMAIN_CMDSTOP>' '<FRMMAIN_CMDSCAN>X</FRMMAIN_CMDSCAN>' '<FRMMAIN_MNUFILEITEM8>Exit</FRMMAIN_MNUFILEITEM8>' \
            '<FRMLANGUAGE_COMMAND3>Translate this program</FRMLANGUAGE_COMMAND3>' \
            '<FRMMENUPOPUP_LBLMENUCLOSE>Close This Menu</FRMMENUPOPUP_LBLMENUCLOSE>' \
            '<MSG_DOWNLOADED>'; do
  check "the template has $item" grep -qF "$item" "$work/template.txt"
done

# The reports, to the local server.
if [ ! -x "$defserver" ]; then
  echo "FAILED: no definition server at $defserver (the native build makes it)"
  exit 1
fi
db="$work/server.db"
"$defserver" create "$db" >/dev/null
"$defserver" keygen "$db" >/dev/null
"$defserver" translation "$db" "$work/program/Localization.txt" >/dev/null
"$defserver" serve "$db" --port 0 --port-file "$work/port" >"$work/server.log" 2>&1 &
pid=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
server="http://127.0.0.1:$(cat "$work/port")"
in_locale en_US.UTF-8 --server "$server" submit false-positive --details 'My tool # 2 & more' \
  'C:\Tools\my tool.exe' 'C:\Tools\helper.dll'
check "the false positive is taken" test "$rc" -eq 0
"$defserver" submissions "$db" >"$work/submissions"
check "and arrives whole, decoded" \
  grep -qF 'FP  files=C:\Tools\my tool.exe|C:\Tools\helper.dll|  details=My tool # 2 & more' \
  "$work/submissions"
in_locale en_US.UTF-8 --server "$server" submit file 'setup #1.exe'
check "a new name is Added" grep -q 'submitted: Added' "$out"
in_locale en_US.UTF-8 --server "$server" submit file 'setup #1.exe'
check "the same name again is Skipped" grep -q 'submitted: Skipped' "$out"
"$defserver" submissions "$db" >"$work/submissions"
check "the name arrives readable" grep -qF 'DATA  data=setup #1.exe' "$work/submissions"
curl -s "$server/Languages/0/Localization.txt" >"$work/served"
kept=$(stat -c %s "$work/program/Localization.txt")
check "the server serves the translation it keeps" \
  cmp -s <(head -c "$kept" "$work/served") "$work/program/Localization.txt"
check "signed in a comment after it" grep -q '^<!-- QMSIG1 translation ' "$work/served"

echo "cli language: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
