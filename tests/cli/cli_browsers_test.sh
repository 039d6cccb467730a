#!/usr/bin/env bash
# The browsers' policies and profiles through quillmarsh-cli.exe under Wine, on the real
# registry and on profile files written here as the browsers write them:
# - `browsers --json` lists a Chrome start page policy and an Edge force-installed extension
#   from the user's and the machine's keys, says no state was accepted yet, and shows each
#   Chrome and Firefox profile's start pages, home page and search engine;
# - `browsers accept` keeps the policies there now in the data folder as the accepted state.
#   cli_browsers_test.sh PREFIX CLI_EXE DEMO_DATA_DIR
set -u
prefix=$1 built_cli=$2 demo=$3
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
work="$prefix/drive_c/qm-cli-browsers"
rm -rf "$work"
mkdir -p "$work/program" "$work/data"
cp "$built_cli" "$work/program/quillmarsh-cli.exe"
cp "$demo"/*.dat "$work/data/"
cli='C:\qm-cli-browsers\program\quillmarsh-cli.exe'
data='C:\qm-cli-browsers\data'
out="$work/stdout" err="$work/stderr"
chrome_policies='HKCU\Software\Policies\Google\Chrome'
edge_policies='HKLM\Software\Policies\Microsoft\Edge'
user_folder="$prefix/drive_c/users/$(id -un)/AppData"
chrome_profile="$user_folder/Local/Google/Chrome/User Data/Default"
firefox_profile="$user_folder/Roaming/Mozilla/Firefox/Profiles/k3x9.default-release"
cleanup() {
  "$wine" reg delete "$chrome_policies" /f >/dev/null 2>&1
  "$wine" reg delete "$edge_policies" /f >/dev/null 2>&1
  rm -rf "$user_folder/Local/Google" "$user_folder/Roaming/Mozilla"
}
trap cleanup EXIT
cleanup
source "$(dirname "$0")/checks.sh"
run_cli() { run --data-folder "$data" "$@"; }
has() { grep -qF -- "$1" "$out"; }

mkdir -p "$chrome_profile" "$firefox_profile"
cat >"$chrome_profile/Preferences" <<'JSON'
{"homepage":"https://home.example/","session":{"restore_on_startup":4,"startup_urls":["https://start.example/a","https://start.example/b"]},"default_search_provider_data":{"template_url_data":{"short_name":"Searchy","url":"https://search.example/?q={searchTerms}"}}}
JSON
printf '%s\n' '// Mozilla User Preferences' \
  'user_pref("browser.startup.homepage", "https://ff.example/one|https://ff.example/two");' \
  'user_pref("browser.startup.page", 1);' >"$firefox_profile/prefs.js"

"$wine" reg add "$chrome_policies" /v HomepageLocation /t REG_SZ /d 'https://hijack.example/' /f >/dev/null 2>&1
"$wine" reg add "$edge_policies\\ExtensionInstallForcelist" /v 1 /t REG_SZ \
  /d 'abcdefghijklmnopabcdefghijklmnop;https://evil.example/crx' /f >/dev/null 2>&1

run_cli --json browsers
check "browsers --json exits 0" test "$rc" -eq 0
check "the user's Chrome start page policy" has '"value":"HomepageLocation","type":1,"data":"https://hijack.example/"'
check "the machine's Edge force-installed extension" has '"data":"abcdefghijklmnopabcdefghijklmnop;https://evil.example/crx"'
check "the machine's key named with its browser" has '"browser":"Edge","key":"HKEY_LOCAL_MACHINE\\Software\\Policies\\Microsoft\\Edge\\ExtensionInstallForcelist"'
# Wine, like current Windows, shows the machine's policies below "WOW6432Node" too.
check "a value both registry views show is listed once" \
  test "$(grep -o 'evil.example/crx' "$out" | wc -l)" -eq 1
check "nothing accepted before the first look" has '"accepted":false'
check "Chrome's start pages in order" has '"startPages":["https://start.example/a","https://start.example/b"]'
check "Chrome's home page and search engine" has '"homePage":"https://home.example/"'
check "Chrome's search engine" has '"searchEngine":"Searchy","searchUrl":"https://search.example/?q={searchTerms}"'
check "Firefox's start pages" has '"startPages":["https://ff.example/one","https://ff.example/two"]'

run_cli browsers accept
check "browsers accept exits 0" test "$rc" -eq 0
check "the accepted state is kept in the data folder" test -s "$work/data/BrowserPolicies.reg"
run_cli --json browsers
check "accepted after browsers accept" has '"accepted":true,"acceptedPolicies":[{'
check "the accepted state holds the policy" \
  test "$(grep -o 'https://hijack.example/' "$out" | wc -l)" -eq 2

run_cli browsers
check "the text form lists the policy and the profiles" \
  bash -c "grep -qF 'HomepageLocation = https://hijack.example/' '$out' && grep -qF 'Start page: https://start.example/a' '$out'"

echo "cli_browsers: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
