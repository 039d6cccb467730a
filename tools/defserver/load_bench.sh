#!/usr/bin/env bash
# Serves a publication of 200 records on a free loopback port, signed and then unsigned
# (--unsigned), puts each under the same load, and prints both rates and their ratio. The two
# take turns REPEATS times (3) and the medians are compared: the machine's other work comes and
# goes.
#   [REPEATS=N] tools/defserver/load_bench.sh [BUILD_DIR (default build/native)] [LOAD OPTIONS...]
set -eu
build=${1:-build/native}
shift || true
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill $pid 2>/dev/null; rm -rf "$work"' EXIT
server=$build/tools/defserver/qm_defserver
"$server" create "$work/db"
"$server" keygen "$work/db" >/dev/null
for i in $(seq 200); do echo "qmload$i.exe=Load Threat $i|[progfil]Load Vendor|Adware"; done >"$work/lines"
"$server" publish "$work/db" FILE "$work/lines" --at "12/1/2026 10:00:00 AM" >/dev/null

# The load's report on standard error, its requests per second on standard output.
rate() {  # rate [SERVE OPTIONS]
  rm -f "$work/port"
  "$server" serve "$work/db" --port 0 --port-file "$work/port" "$@" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
  "$build/tools/defserver/qm_defserver_load" "http://127.0.0.1:$(cat "$work/port")" \
    "${load[@]}" >"$work/report"
  cat "$work/report" >&2
  kill "$pid" && wait "$pid" 2>/dev/null || true
  pid=
  awk '/requests per second/ {print $4}' "$work/report"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

load=("$@")
signed=() unsigned=()
for turn in $(seq "${REPEATS:-3}"); do
  echo "== turn $turn: signed answers" >&2
  signed+=("$(rate)")
  echo "== turn $turn: unsigned answers (--unsigned)" >&2
  unsigned+=("$(rate --unsigned)")
done
echo "requests per second, signed: ${signed[*]}; unsigned: ${unsigned[*]}"
awk -v s="$(printf '%s\n' "${signed[@]}" | median)" -v u="$(printf '%s\n' "${unsigned[@]}" | median)" \
  'BEGIN { printf "medians: signed %d, unsigned %d; ratio %.2f (target >= 0.8)\n", s, u, s / u }'
