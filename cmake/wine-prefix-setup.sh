#!/usr/bin/env bash
# Creates or updates a Wine prefix for the test runs and imports the settings they rely on:
#   wine-prefix-setup.sh PREFIX
# - X11 Driver Managed=N: without a window manager, every hidden or destroyed window otherwise
#   waits 2 s for the manager's answer.
# - WineDbg ShowCrashDialog=0: a crash under a display would otherwise hang on the dialog.
# - The program's first run done: a language chosen, the help seen and the machine greeted, so
#   that no modal window waits for an answer; the tests of the first run clear these themselves.
# The settings are imported once per prefix and Wine version (a stamp file records it).
set -eu
if [ $# -ne 1 ]; then
  echo "usage: $0 PREFIX" >&2
  exit 2
fi
prefix=$(realpath -m "$1")
wine=/usr/lib/wine/wine64
mkdir -p "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

stamp="$prefix/.quillmarsh-prefix"
version=$("$wine" --version)
stamped="$version; first run done"
if [ -f "$stamp" ] && [ -f "$prefix/user.reg" ] && [ "$(cat "$stamp")" = "$stamped" ]; then
  exit 0
fi

# Wine's output goes to a file: a cold wineserver keeps an inherited pipe open for seconds.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
run() {
  if ! "$@" >"$log" 2>&1 </dev/null; then
    echo "failed: $*" >&2
    cat "$log" >&2
    exit 1
  fi
}
run "$wine" wineboot -u
run "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f
run "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
settings='HKCU\Software\VB and VBA Program Settings\Quillmarsh\Settings'
run "$wine" reg add "$settings" /v Language /t REG_SZ /d English /f
run "$wine" reg add "$settings" /v showHelp /t REG_SZ /d 0 /f
run "$wine" reg add 'HKLM\SOFTWARE\Quillmarsh Software\Quillmarsh\Settings' /v FirstTime /t REG_SZ \
  /d Yes /f
# Let the server write the registry to disk before the stamp says it is done.
run /usr/bin/wineserver -w
echo "$stamped" >"$stamp"
echo "Wine prefix ready: $prefix ($version)"
