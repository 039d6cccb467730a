#!/usr/bin/env bash
# The installer under Wine in a prefix of its own: a silent install puts both programs, the
# shortcuts, the Run entry and the Add/Remove Programs entry in place; the installed console
# counts definitions from its installed place; a silent uninstall removes the programs,
# shortcuts, Run entries and its own entry, and leaves the user's data folder alone. With the
# program running and its alert open, the install and the uninstall close it and end within a
# bounded time.
#   installer_test.sh PREFIX SETUP_EXE DEMO_DATA_DIR SLEEPER_EXE
set -u
prefix=$1 setup=$2 demo=$3 sleeper=$4
here=$(cd "$(dirname "$0")" && pwd)
"$here/../../cmake/wine-prefix-setup.sh" "$prefix" >/dev/null || exit 1
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
trap 'wineserver -k 2>/dev/null || true' EXIT

work="$prefix/drive_c/qm-install-test"
rm -rf "$work"
mkdir -p "$work/data"
cp "$demo"/*.dat "$work/data/"
echo "kept" >"$work/data/QuarantineLog.txt"
out="$work/stdout" err="$work/stderr"
cli='C:\Program Files\Quillmarsh\quillmarsh-cli.exe'
source "$here/checks.sh"

installed="$prefix/drive_c/Program Files/Quillmarsh"
menu="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quillmarsh"
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillmarsh'
query() { "$wine" reg query "$@" 2>/dev/null | tr -d '\r'; }

"$wine" "$(winepath -w "$setup" 2>/dev/null)" /S >"$out" 2>"$err"
check "the silent install succeeds" test $? -eq 0
for f in Quillmarsh.exe quillmarsh-cli.exe quillmarsh.ico UpdateKeys.txt Uninstall.exe; do
  check "installs $f" test -f "$installed/$f"
done
check "the key file lists the maker's key" grep -q '^QMKEY1 [0-9a-f]\{16\} ' "$installed/UpdateKeys.txt"
check "the Start menu has the program" test -f "$menu/Quillmarsh.lnk"
check "and its uninstaller" test -f "$menu/Uninstall Quillmarsh.lnk"
check "the Run entry is named by the product and starts the program" \
  grep -q 'Quillmarsh *REG_SZ *"C:\\Program Files\\Quillmarsh\\Quillmarsh.exe"' <(query "$run_key")
check "Add/Remove Programs lists it" grep -q 'DisplayName *REG_SZ *Quillmarsh$' <(query "$uninstall_key")
check "with a silent uninstall" grep -q 'QuietUninstallString.*Uninstall.exe" /S' <(query "$uninstall_key")

# The installed console, from its installed place, counts the demo's definitions as the build's
# own console does.
run --data-folder 'C:\qm-install-test\data' defs count
check "the installed console runs" test "$rc" -eq 0
installed_count=$(tr -d '\r' <"$out")
check "and counts the definitions" grep -Eq '[1-9][0-9]*' <<<"$installed_count"

# The installed program busy: a threat it found running waits in its alert for an answer.
# Setup closes it (the alert unanswered) and finishes within its bounded wait.
busy_program() {
  cp "$sleeper" "$work/qminstall-threat.exe"
  printf 'qminstall-threat.exe=Install Threat|C:\\qm-install-test\r\n' >"$work/plain.txt"
  "$wine" "$cli" defs encode 'C:\qm-install-test\plain.txt' >"$work/data/ExeDefinition.dat"
  "$wine" 'C:\qm-install-test\qminstall-threat.exe' >/dev/null 2>&1 &
  "$wine" 'C:\Program Files\Quillmarsh\Quillmarsh.exe' --data-folder 'C:\qm-install-test\data' \
    >/dev/null 2>&1 &
  program=$!
  sleep 10  # started, and the shield's alert is open
}
program_ended() { for _ in $(seq 1 20); do kill -0 "$program" 2>/dev/null || return 0; sleep 1; done; return 1; }
busy_program
started=$(date +%s)
"$wine" "$(winepath -w "$setup" 2>/dev/null)" /S >"$out" 2>"$err"
check "a second install with the program busy succeeds" test $? -eq 0
check "within its bounded wait" test $(($(date +%s) - started)) -lt 60
check "and the program has ended" program_ended
check "the threat was neither stopped nor allowed" \
  sh -c "'$wine' taskkill /f /im qminstall-threat.exe >/dev/null 2>&1"
check "nothing was excluded" test ! -s "$work/data/ENoSignature.dat"
busy_program

started=$(date +%s)
"$wine" 'C:\Program Files\Quillmarsh\Uninstall.exe' /S >"$out" 2>"$err"
check "the silent uninstall starts" test $? -eq 0
# The uninstaller runs from a copy of itself and ends after the one that was started.
for _ in $(seq 1 60); do
  [ -e "$installed" ] || [ -e "$menu" ] || break
  sleep 1
done
check "the busy program was closed for it" program_ended
check "within its bounded wait" test $(($(date +%s) - started)) -lt 90
"$wine" taskkill /f /im qminstall-threat.exe >/dev/null 2>&1
check "no program file is left" test ! -e "$installed"
check "no shortcut is left" test ! -e "$menu"
check "no Run entry is left" bash -c "! grep -qi quillmarsh <<<\"\$1\"" _ "$(query "$run_key")"
check "nor the Add/Remove entry" bash -c "! grep -q DisplayName <<<\"\$1\"" _ "$(query "$uninstall_key")"
check "the user's data stays" grep -q kept "$work/data/QuarantineLog.txt"

echo "installer: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
