#!/usr/bin/env bash
# Serves a publication of 200 records on a free loopback port and puts it under load.
#   tools/defserver/load_bench.sh [BUILD_DIR (default build/native)] [LOAD OPTIONS...]
set -eu
build=${1:-build/native}
shift || true
work=$(mktemp -d)
trap 'kill $pid 2>/dev/null; rm -rf "$work"' EXIT
server=$build/tools/defserver/qm_defserver
"$server" create "$work/db"
for i in $(seq 200); do echo "qmload$i.exe=Load Threat $i|[progfil]Load Vendor|Adware"; done >"$work/lines"
"$server" publish "$work/db" FILE "$work/lines" --at "12/1/2026 10:00:00 AM" >/dev/null
"$server" serve "$work/db" --port 0 --port-file "$work/port" >/dev/null 2>&1 &
pid=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
"$build/tools/defserver/qm_defserver_load" "http://127.0.0.1:$(cat "$work/port")" "$@"
