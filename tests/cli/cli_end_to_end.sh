#!/usr/bin/env bash
# End-to-end checks of quillmarsh-cli.exe under Wine, on data folders in the prefix's drive C:
#   cli_end_to_end.sh PREFIX CLI_EXE DEMO_DATA_DIR
# Prints "N passed, N failed" and exits non-zero when a check fails.
set -u
prefix=$1 cli=$2 demo=$3
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
work="$prefix/drive_c/qm-cli-e2e"
rm -rf "$work"
mkdir -p "$work"
out="$work/stdout" err="$work/stderr"

source "$(dirname "$0")/checks.sh"

fresh_set() {  # fresh_set DIR: the five definition files, Safety.dat and a date stamp
  rm -rf "$1"
  mkdir -p "$1"
  cp "$demo"/*.dat "$1/"
  printf '11/30/2026 9:00:00 AM\r\n' >"$1/date.dat"
}

# A complete set: the scan ends complete; the JSON document carries the contract's fields.
fresh_set "$work/complete"
run --json --data-folder 'C:\qm-cli-e2e\complete' scan smart
check "smart scan exits 0 or 1" test "$rc" -le 1
check "status is Scanning complete." grep -q '"status":"Scanning complete."' "$out"
for field in '"kind":"smart"' '"started":' '"finished":' '"counters":{"processes":' \
             '"registry":' '"files":' '"found":' '"traces":' '"live":[' '"results":[' \
             '"worklists":{"files":[' '"cookies":['; do
  check "json has $field" grep -qF "$field" "$out"
done

# Options in another order and the text form.
run --data-folder 'C:\qm-cli-e2e\complete' --json scan smart
check "options in any order" grep -q '"status":"Scanning complete."' "$out"
run --data-folder 'C:\qm-cli-e2e\complete' scan full --drives C
check "full scan of drive C completes" grep -q 'Status: Scanning complete.' "$out"

# A File Scan finds a file the definitions name by its name and its last two folder names.
mkdir -p "$work/Program Files/Demo AdBar"
echo sample >"$work/Program Files/Demo AdBar/qmdemo-adbar.exe"
run --json --data-folder 'C:\qm-cli-e2e\complete' scan file 'C:\qm-cli-e2e\Program Files\Demo AdBar\qmdemo-adbar.exe'
check "file scan finds a threat and exits 1" test "$rc" -eq 1
check "file scan reports the lower-case location" grep -qF '"location":"c:\\qm-cli-e2e\\program files\\demo adbar\\qmdemo-adbar.exe","type":"Adware"' "$out"

# A Folder Scan walks the folder and hands every entry to the same checks.
run --data-folder 'C:\qm-cli-e2e\complete' scan folder 'C:\qm-cli-e2e\Program Files'
check "folder scan finds the planted file and exits 1" test "$rc" -eq 1
check "folder scan lists it" grep -qF 'c:\qm-cli-e2e\program files\demo adbar\qmdemo-adbar.exe' "$out"

# Without BlockedCookies.dat: exit 2, the message on standard error, the incomplete set gone.
fresh_set "$work/incomplete"
rm "$work/incomplete/BlockedCookies.dat"
run --json --data-folder 'C:\qm-cli-e2e\incomplete' scan smart
check "missing cookie list exits 2" test "$rc" -eq 2
check "missing files message on stderr" grep -q 'Definition files are missing or they have been corrupted. Please run Live Update.' "$err"
for f in FileDefinition.dat DirectoryDefinition.dat RegistryDefinition.dat ExeDefinition.dat date.dat; do
  check "$f deleted" test ! -e "$work/incomplete/$f"
done
check "Safety.dat kept" test -e "$work/incomplete/Safety.dat"

# Bad arguments and an unusable data folder.
run scan sideways
check "bad scan kind exits 2" test "$rc" -eq 2
run --data-folder 'C:\qm-cli-e2e\nowhere' scan smart
check "missing data folder exits 2" test "$rc" -eq 2

# defs decode undoes the scramble of any text: codes 0 to 254 come back, 255 comes back as 0
# (CR and LF are the line ends themselves).
python3 - "$work/allcodes.dat" "$work/expected.txt" <<'PY'
import sys
codes = [c for c in range(256) if c not in (10, 13)]
enc = bytes(((c + 64) - 255) if c + 64 > 255 else c + 64 for c in codes)
open(sys.argv[1], "wb").write(enc + b"\r\n")
dec = bytes(0 if c == 255 else c for c in codes)
open(sys.argv[2], "wb").write(dec + b"\r\n")
PY
run defs decode 'C:\qm-cli-e2e\allcodes.dat'
check "decode exits 0" test "$rc" -eq 0
check "decode gives every code back" cmp -s "$out" "$work/expected.txt"

# encode is the reverse of decode.
printf 'qmdemo.exe=Demo|[windir]|Adware\r\n' >"$work/plain.txt"
run defs encode 'C:\qm-cli-e2e\plain.txt'
cp "$out" "$work/scrambled.dat"
run defs decode 'C:\qm-cli-e2e\scrambled.dat'
check "encode then decode" cmp -s "$out" "$work/plain.txt"

# defs count: lines of each file.
run --json --data-folder 'C:\qm-cli-e2e\complete' defs count
check "defs count" grep -q '"total":' "$out"

# A seeded machine: each of the three scans lists exactly what the rules give. Hidden files
# (Wine shows names starting with "." as hidden), files whose company is "Microsoft
# Corporation", protected places and files away from their recorded folder are not reported;
# a "TYPE" category stays as written in the known-location pass and reads "Spyware" when the
# walk meets the file.
seeded="$work/seeded" defs="$work/seeded-defs"
mkdir -p "$seeded/Seed Bar" "$seeded/Seed Folder" "$seeded/Safe Place" "$seeded/Other" "$defs"
for f in qmseed-bar.exe qmseed-type.dll .qmseed-hidden.exe; do echo sample >"$seeded/Seed Bar/$f"; done
echo sample >"$seeded/Safe Place/qmseed-safe.exe"
echo sample >"$seeded/Other/qmelse.exe"
python3 - "$seeded/Seed Bar/qmseed-ms.exe" <<'PY'
import sys
w = lambda s: s.encode("utf-16-le")
key = b"\x01\x00" + w("CompanyName")[:21]
data = (b"MZ" + b"\x90" * 300 + b"\x01\x00" + w("StringFileInfo") + b"\x00" * 40 + key +
        b"\x00" * (26 - len(key)) + w("Microsoft Corporation") + b"\x00" * 4)
open(sys.argv[1], "wb").write(data)
PY
at='[drive]\qm-cli-e2e\seeded'
encode() {  # encode NAME LINES...: a scrambled definition file in the seeded data folder
  local name=$1
  shift
  printf '%s\r\n' "$@" >"$work/plain-defs.txt"
  [ $# -gt 0 ] || : >"$work/plain-defs.txt"
  "$wine" "$cli" defs encode 'C:\qm-cli-e2e\plain-defs.txt' >"$defs/$name" </dev/null
}
encode FileDefinition.dat "qmseed-bar.exe=Seed Bar|$at\Seed Bar|Adware" \
  "qmseed-type.dll=Seed Typed|$at\Seed Bar|TYPE" \
  ".qmseed-hidden.exe=Seed Hidden|$at\Seed Bar|Adware" \
  "qmseed-ms.exe=Seed Vendor|$at\Seed Bar|Adware" \
  "qmseed-safe.exe=Seed Safe|$at\Safe Place|Adware" \
  'qmelse.exe=Seed Elsewhere|[drive]\Elsewhere\Expected|Adware'
encode DirectoryDefinition.dat "Seed Folder=Seed Folder|$at\Seed Folder|Toolbar"
encode Safety.dat "SFILE|Safe=|$at\Safe Place\qmseed-safe.exe"
for f in RegistryDefinition.dat ExeDefinition.dat BlockedCookies.dat; do encode "$f"; done

results() {  # the results rows of the JSON answer, one "name|location|type" line each, sorted
  python3 -c 'import json,sys
d = json.load(open(sys.argv[1], encoding="latin-1"))
print("\n".join(sorted(r["name"] + "|" + r["location"] + "|" + r["type"] for r in d["results"])))
print("found=" + d["counters"]["found"])' "$out"
}
base='c:\qm-cli-e2e\seeded'
# The known-location pass shows the expanded path as written; the walk the lower-cased one.
smart_expected="Seed Bar|C:\qm-cli-e2e\seeded\Seed Bar\qmseed-bar.exe|Adware
Seed Folder|C:\qm-cli-e2e\seeded\Seed Folder|Toolbar
Seed Typed|C:\qm-cli-e2e\seeded\Seed Bar\qmseed-type.dll|TYPE
found=3"
walk_expected="Seed Bar|$base\seed bar\qmseed-bar.exe|Adware
Seed Folder Directory|$base\seed folder|Toolbar
Seed Typed|$base\seed bar\qmseed-type.dll|Spyware
found=3"
run --json --data-folder 'C:\qm-cli-e2e\seeded-defs' scan smart
check "seeded smart scan lists exactly the known-location hits" test "$(results)" = "$smart_expected"
run --json --data-folder 'C:\qm-cli-e2e\seeded-defs' scan folder 'C:\qm-cli-e2e\seeded'
check "seeded folder scan lists exactly the walk's hits" test "$(results)" = "$walk_expected"
check "folder scan counts the folder and every visible entry" grep -qF '"files":"10"' "$out"
run --json --data-folder 'C:\qm-cli-e2e\seeded-defs' scan full --drives C
check "seeded full scan of C lists exactly the walk's hits" test "$(results)" = "$walk_expected"

# Registry threats: a seeded key and value are reported; once excluded, the value shows as
# "EXCLUDED" and is neither listed nor queued.
"$wine" reg add 'HKCU\Software\QmCliSeed' /v Tracker /d x /f >/dev/null 2>&1
encode RegistryDefinition.dat '1^Software\QmCliSeed\^Tracker=Seed Tracker|Adware' \
  '1^Software\QmCliSeed^^=Seed Key|Spyware'
run --json --data-folder 'C:\qm-cli-e2e\seeded-defs' scan smart
check "smart scan reports the registry value" grep -qF '"location":"HKEY_CURRENT_USER\\Software\\QmCliSeed\\Tracker","type":"Adware"' "$out"
check "smart scan reports the registry key" grep -qF '"location":"HKEY_CURRENT_USER\\Software\\QmCliSeed","type":"Spyware"' "$out"
check "the worklist holds the root as signed decimal" grep -qF '"registry":[{"root":"-2147483647"' "$out"
run --data-folder 'C:\qm-cli-e2e\seeded-defs' exclude add 'HKEY_CURRENT_USER\Software\QmCliSeed\Tracker'
check "exclude add exits 0" test "$rc" -eq 0
run --data-folder 'C:\qm-cli-e2e\seeded-defs' exclude list
check "exclude list shows the entry" grep -qF 'HKEY_CURRENT_USER\Software\QmCliSeed\Tracker' "$out"
run --json --data-folder 'C:\qm-cli-e2e\seeded-defs' scan smart
check "the excluded value shows as EXCLUDED" grep -qF '{"name":"EXCLUDED","details":"HKEY_CURRENT_USER\\Software\\QmCliSeed\\Tracker","icon":5}' "$out"
check "and is no longer a result" sh -c "! grep -qF 'QmCliSeed\\\\Tracker\",\"type\"' '$out'"
"$wine" reg delete 'HKCU\Software\QmCliSeed' /f >/dev/null 2>&1

# Running threats and tracking cookies: the Smart Scan stops the running threat and only it,
# lists the blocked cookies, and exits 1.
sleeper="$(dirname "$cli")/../../../tests/win32/qm_sleeper.exe"
cp "$sleeper" "$work/qmcli-threat.exe"
cp "$sleeper" "$work/qmcli-innocent.exe"
"$wine" 'C:\qm-cli-e2e\qmcli-threat.exe' >/dev/null 2>&1 &
"$wine" 'C:\qm-cli-e2e\qmcli-innocent.exe' >/dev/null 2>&1 &
cookies="$prefix/drive_c/users/$(id -un)/AppData/Local/Microsoft/Windows/INetCookies"
mkdir -p "$cookies"
printf 'id\n1\nqmcli-ads.example.com/\n' >"$cookies/qm@qmcli-ads[1].txt"
printf 'id\n1\nwww.qmcli-track.com/\n' >"$cookies/qm@www.qmcli-track[1].txt"
printf 'id\n1\nqmcli-fine.example.com/\n' >"$cookies/qm@qmcli-fine[1].txt"
encode ExeDefinition.dat 'qmcli-threat.exe=Cli Threat|C:\Somewhere\Else'
encode BlockedCookies.dat '*qmcli-ads.example.com' 'qmcli-track.net'
encode RegistryDefinition.dat
sleep 2
run --json --data-folder 'C:\qm-cli-e2e\seeded-defs' scan smart
check "smart scan with running threats exits 1" test "$rc" -eq 1
check "the running threat is stopped" grep -qF '{"name":"Running Application","details":"QMCLI-THREAT.EXE was stopped","icon":3}' "$out"
check "blocked cookies are listed" test "$(python3 -c 'import json,sys
d = json.load(open(sys.argv[1], encoding="latin-1"))
print(" ".join(sorted(r["name"] for r in d["results"] if r["name"].startswith("Cookie: qm@"))))' "$out")" = "Cookie: qm@qmcli-ads[1].txt Cookie: qm@www.qmcli-track[1].txt"
sleep 1
# taskkill fails when no such program runs (and ends the one it finds).
check "the threat program has ended" sh -c "! '$wine' taskkill /f /im qmcli-threat.exe >/dev/null 2>&1"
check "the innocent program still runs" sh -c "'$wine' taskkill /f /im qmcli-innocent.exe >/dev/null 2>&1"
rm -f "$cookies"/qm@qmcli-*

# Removal: a machine seeded with file, folder, registry and cookie threats, one of the files
# held open by a running program. --remove takes exactly the detections, leaves verified copies,
# log records and manifest entries in the quarantine, lists the held file as failed and leaves
# it for the next start, which deletes it; restore brings a file back byte for byte and a
# registry value back with its type and data, and never overwrites.
rm_data="$work/rm-defs" place="$work/rm"
fresh_set "$rm_data"
mkdir -p "$place/Rm Folder/inner"
head -c 3000 /dev/urandom >"$place/qmrm-free.exe"
cp "$place/qmrm-free.exe" "$work/qmrm-free.original"
echo held >"$place/qmrm-held.dll"
echo readonly >"$place/qmrm-readonly.dat"
"$wine" attrib +r 'C:\qm-cli-e2e\rm\qmrm-readonly.dat' >/dev/null 2>&1
echo inner >"$place/Rm Folder/inner/note.txt"
"$wine" reg add 'HKCU\Software\QmRmTest' /v Dialer /t REG_EXPAND_SZ /d '%TEMP%\qmrm-dialer.exe' /f >/dev/null 2>&1
printf 'id\n1\nqmrm-tracker.example/\n' >"$cookies/qm@qmrm-tracker[1].txt"
defs="$rm_data"
encode FileDefinition.dat 'qmrm-free.exe=Rm Free|C:\qm-cli-e2e\rm|Adware' \
  'qmrm-held.dll=Rm Held|C:\qm-cli-e2e\rm|Adware' \
  'qmrm-readonly.dat=Rm Read Only|C:\qm-cli-e2e\rm|Adware'
encode DirectoryDefinition.dat 'Rm Folder=Rm Folder|C:\qm-cli-e2e\rm\Rm Folder|Spyware'
encode RegistryDefinition.dat '1^Software\QmRmTest^Dialer=Rm Dialer|Dialer'
encode BlockedCookies.dat 'qmrm-tracker.example'
encode ExeDefinition.dat
cp "$sleeper" "$work/qmrm-holder.exe"
"$wine" 'C:\qm-cli-e2e\qmrm-holder.exe' --hold 'C:\qm-cli-e2e\rm\qmrm-held.dll' >/dev/null 2>&1 &
sleep 2
run --json --data-folder 'C:\qm-cli-e2e\rm-defs' scan smart --remove
check "scan --remove still says it found something" test "$rc" -eq 1
removal() {  # removal FIELD: the removal object's field, one item a line (kind|location)
  python3 -c 'import json,sys
d = json.load(open(sys.argv[1], encoding="latin-1"))["removal"]
v = d[sys.argv[2]]
if isinstance(v, list):
    print("\n".join(sorted(x["kind"] + "|" + x["location"] if isinstance(x, dict) else x for x in v)))
else:
    print(json.dumps(v))' "$out" "$1"
}
check "the removal took exactly the detections" test "$(removal removed)" = 'cookie|C:\users\'"$(id -un)"'\AppData\Local\Microsoft\Windows\INetCookies\qm@qmrm-tracker[1].txt
file|C:\qm-cli-e2e\rm\qmrm-free.exe
file|C:\qm-cli-e2e\rm\qmrm-readonly.dat
folder|C:\qm-cli-e2e\rm\Rm Folder
registry|HKEY_CURRENT_USER\Software\QmRmTest\Dialer'
check "the held file failed" test "$(removal failed)" = 'C:\qm-cli-e2e\rm\qmrm-held.dll'
check "and is left for the next start" test "$(removal scheduledAtRestart)" = 'C:\qm-cli-e2e\rm\qmrm-held.dll'
check "the removed figure counts at least these four" test "$(removal removedTotal)" -ge 4
check "the file is gone" test ! -e "$place/qmrm-free.exe"
check "the read-only file is gone" test ! -e "$place/qmrm-readonly.dat"
check "and its copy is in the quarantine" grep -qx readonly "$rm_data/quarantine/qmrm-readonly.dat"
check "the folder is gone" test ! -e "$place/Rm Folder"
check "the cookie is gone" test ! -e "$cookies/qm@qmrm-tracker[1].txt"
check "the registry value is gone" sh -c "! '$wine' reg query 'HKCU\\Software\\QmRmTest' /v Dialer >/dev/null 2>&1"
q="$rm_data/quarantine"
check "the file's copy is in the quarantine" cmp -s "$q/qmrm-free.exe" "$work/qmrm-free.original"
check "the folder's copy is in the quarantine" test -e "$q/Rm Folder/inner/note.txt"
check "the held file's copy is in the quarantine" test -e "$q/qmrm-held.dll"
check "the log has the file's record" grep -qF ' - Location: C:\qm-cli-e2e\rm\qmrm-free.exe' "$q/QuarantineLog.txt"
run --json --data-folder 'C:\qm-cli-e2e\rm-defs' quarantine list
entries() { python3 -c 'import json,sys
d = json.load(open(sys.argv[1], encoding="latin-1"))
print("\n".join(sorted(e["kind"] + "|" + e["name"] for e in d["entries"])))' "$out"; }
check "the manifest lists every backup" test "$(entries | cut -d'|' -f1 | sort | tr '\n' ' ')" = 'cookie file file file folder registry '
reg_backup=$(entries | sed -n 's/^registry|//p')
"$wine" taskkill /f /im qmrm-holder.exe >/dev/null 2>&1
sleep 1
"$wine" wineboot -r >/dev/null 2>&1
check "the restart deleted the held file" test ! -e "$place/qmrm-held.dll"
run --data-folder 'C:\qm-cli-e2e\rm-defs' quarantine restore qmrm-free.exe
check "restore exits 0" test "$rc" -eq 0
check "the file is back byte for byte" cmp -s "$place/qmrm-free.exe" "$work/qmrm-free.original"
run --data-folder 'C:\qm-cli-e2e\rm-defs' quarantine restore qmrm-free.exe
check "a second restore is refused" test "$rc" -eq 2
echo newer >"$cookies/qm@qmrm-tracker[1].txt"
run --data-folder 'C:\qm-cli-e2e\rm-defs' quarantine restore 'qm@qmrm-tracker[1].txt'
check "a restore over a file that stands there is refused" test "$rc" -eq 2
check "and leaves that file alone" grep -qx newer "$cookies/qm@qmrm-tracker[1].txt"
run --data-folder 'C:\qm-cli-e2e\rm-defs' quarantine restore "$reg_backup"
check "the registry backup restores" test "$rc" -eq 0
check "the value is back with its type and data" sh -c "'$wine' reg query 'HKCU\\Software\\QmRmTest' /v Dialer 2>/dev/null | tr -d '\r' | grep -qE 'Dialer +REG_EXPAND_SZ +%TEMP%.qmrm-dialer.exe'"
# Removed again after its restore, the file is asked for by its own name: its newer copy
# ("qmrm-free (2).exe") comes back.
run --json --data-folder 'C:\qm-cli-e2e\rm-defs' scan smart --remove
check "the restored file is removed again" test ! -e "$place/qmrm-free.exe"
run --data-folder 'C:\qm-cli-e2e\rm-defs' quarantine restore qmrm-free.exe
check "its newer copy restores by the same name" test "$rc" -eq 0
check "and it is back byte for byte" cmp -s "$place/qmrm-free.exe" "$work/qmrm-free.original"
"$wine" reg delete 'HKCU\Software\QmRmTest' /f >/dev/null 2>&1
rm -f "$cookies"/qm@qmrm-*

# Places that are not absolute. A relative scan target is the folder it names from where the
# console runs, with the same results as its full path; a definition whose place has no folder,
# or whose token this machine lacks, names nothing, even with the file in the current folder.
run --data-folder 'C:\qm-cli-e2e\complete' scan folder 'C:\qm-cli-e2e\Program Files'
cp "$out" "$work/full-target.txt"
pushd "$work" >/dev/null
run --data-folder 'C:\qm-cli-e2e\complete' scan folder 'Program Files'
popd >/dev/null
check "a relative folder finds what its full path finds" test "$rc" -eq 1
check "and lists the same" diff <(grep -v '^Started\|^Finished' "$work/full-target.txt") <(grep -v '^Started\|^Finished' "$out")
fresh_set "$work/rel-defs"
defs="$work/rel-defs"
encode FileDefinition.dat 'qmrel-bare.exe=Rel Bare' 'qmrel-token.exe=Rel Token|[recycle]|Adware'
echo bare >"$work/qmrel-bare.exe"
echo token >"$prefix/drive_c/qmrel-token.exe"
pushd "$work" >/dev/null
run --json --data-folder 'C:\qm-cli-e2e\rel-defs' scan smart --remove
popd >/dev/null
check "a place without a folder or with a missing token is no detection" sh -c "! grep -q 'qmrel' '$out'"
check "and nothing there is removed" test -e "$work/qmrel-bare.exe" -a -e "$prefix/drive_c/qmrel-token.exe"
rm -f "$prefix/drive_c/qmrel-token.exe"

rm -rf "$work"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
