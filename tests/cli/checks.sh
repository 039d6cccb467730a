# What the console's end-to-end scripts share; sourced after they set $wine, $cli, $out and $err.
passed=0 failed=0

check() {  # check NAME CONDITION...
  local name=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $name"
    echo "--- stdout:"; head -c 2000 "$out"; echo
    echo "--- stderr:"; head -c 2000 "$err"; echo
  fi
}

run() {  # run ARGS... : the CLI's exit status in $rc, its streams in $out and $err
  "$wine" "$cli" "$@" >"$out" 2>"$err" </dev/null
  rc=$?
}
