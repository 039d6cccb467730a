#!/usr/bin/env bash
# Serves a definitions answer of about 10 MiB on a free loopback port and runs the Windows
# download benchmark against it under Wine.
#   tools/defserver/download_bench.sh [ROUNDS]
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill $pid 2>/dev/null; rm -rf "$work"' EXIT
server=$root/build/native/tools/defserver/qm_defserver
"$server" create "$work/db"
for i in $(seq 112000); do
  echo "qmdownload$i.exe=Download Threat $i|[progfil]Download Vendor $i|Adware"
done >"$work/lines"
"$server" publish "$work/db" FILE "$work/lines" --at "12/1/2026 10:00:00 AM" >/dev/null
"$server" serve "$work/db" --port 0 --port-file "$work/port" >/dev/null 2>&1 &
pid=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
url="http://127.0.0.1:$(cat "$work/port")/asp/getDefsNEW.asp?prog=Quillmarsh&comp=Q&date=3/16/2006"
export WINEPREFIX=$root/build/windows/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
/usr/lib/wine/wine64 "$root/build/windows/bench/win32/qm_download_bench.exe" "$url" --rounds "${1:-5}"
