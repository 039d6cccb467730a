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

# program_with_keys BUILT_CLI WORK WORK_WIN DB: the console copied into WORK\program with the
# definition server's keys beside it, as the installer puts the maker's; $cli names it.
program_with_keys() {
  mkdir -p "$2/program"
  cp "$1" "$2/program/quillmarsh-cli.exe"
  "$defserver" keys "$4" >"$2/program/UpdateKeys.txt"
  cli="$3\\program\\quillmarsh-cli.exe"
}
