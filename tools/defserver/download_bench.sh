#!/usr/bin/env bash
# Serves a signed definitions answer of about 10 MiB on a free loopback port and runs the
# Windows download benchmark against it under Wine (the download, and the check of the
# answer's signature with the key from /keys).
#   [QM_NATIVE_BUILD=DIR] [QM_WINDOWS_BUILD=DIR] tools/defserver/download_bench.sh [ROUNDS]
# The builds default to build/native (the server) and build/windows (the benchmark and its
# Wine prefix).
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
native=$(realpath "${QM_NATIVE_BUILD:-$root/build/native}")
windows=$(realpath "${QM_WINDOWS_BUILD:-$root/build/windows}")
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill $pid 2>/dev/null; rm -rf "$work"' EXIT
server=$native/tools/defserver/qm_defserver
"$server" create "$work/db"
"$server" keygen "$work/db" >/dev/null
for i in $(seq 112000); do
  echo "qmdownload$i.exe=Download Threat $i|[progfil]Download Vendor $i|Adware"
done >"$work/lines"
"$server" publish "$work/db" FILE "$work/lines" --at "12/1/2026 10:00:00 AM" >/dev/null
"$server" serve "$work/db" --port 0 --port-file "$work/port" >/dev/null 2>&1 &
pid=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
base="http://127.0.0.1:$(cat "$work/port")"
date=3/16/2006
export WINEPREFIX=$windows/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$root/cmake/wine-prefix-setup.sh" "$WINEPREFIX" >/dev/null
/usr/lib/wine/wine64 "$windows/bench/win32/qm_download_bench.exe" \
  "$base/asp/getDefsNEW.asp?prog=Quillmarsh&comp=Q&date=$date" "$base/keys" "$date" \
  --rounds "${1:-5}"
