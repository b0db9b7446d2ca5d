#!/usr/bin/env bash
# CorvidReg.dll registered and removed by the system's own tool, regsvr32, with the
# result read back through reg, in the build tree's Wine prefix. The keys touched are
# the library's fixed ones; none of them exists in a fresh prefix, and all go at the end.
#   regsvr32_test.sh DLL EMULATOR...
set -euo pipefail
dll=$1
shift
wine=("$@")

win_dll="Z:${dll//\//\\}"
class='{3C8A2F60-1B7D-4E59-A0C4-7D21E6B95F13}'
protocols='HKCU\Software\Netscape\Netscape Navigator\Automation Protocols'
ie_class="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\$class"
nc_class="HKCU\\Software\\Stilesoft\\NetCaptor\\CurrentVersion\\Browser Helper Objects\\$class"
owned=('HKCU\Software\Netscape' 'HKCU\Software\Stilesoft' 'HKCU\Software\Corvid'
       'HKLM\Software\Microsoft\Windows\CurrentVersion\Explorer\Browser Helper Objects')

# Wine's output goes to a log, never to the test's own output: a server that outlives
# the test then holds no pipe that the test runner waits on.
log=$(mktemp)
quiet() { "${wine[@]}" "$@" >>"$log" 2>&1; }
cleanup() {
    for key in "${owned[@]}"; do quiet reg delete "$key" /f || true; done
    rm -f "$log"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    cat "$log" >&2
    exit 1
}
setting() { quiet reg add 'HKCU\Software\Corvid\Configure' /v IntegrateBrowser /t REG_DWORD /d "$1" /f; }
names_prog_id() {
    "${wine[@]}" reg query "$protocols" /v "$1" 2>>"$log" | grep -q 'REG_SZ *Corvid\.Netscape\.Monitor'
}
# How many of the three browsers' entries are there.
registered() {
    local n=0
    names_prog_id http && names_prog_id ftp && n=$((n + 1))
    quiet reg query "$ie_class" && n=$((n + 1))
    quiet reg query "$nc_class" && n=$((n + 1))
    echo $n
}

cleanup
quiet reg add 'HKCU\Software\Netscape\Netscape Navigator' /f
quiet reg add 'HKCU\Software\Stilesoft\NetCaptor\CurrentVersion' /f

setting 0
quiet regsvr32 /s "$win_dll" || fail "regsvr32 /s with IntegrateBrowser 0"
[ "$(registered)" = 0 ] || fail "IntegrateBrowser 0 registered something"

setting 1
quiet regsvr32 /s "$win_dll" || fail "regsvr32 /s with IntegrateBrowser 1"
[ "$(registered)" = 3 ] || fail "IntegrateBrowser 1 registered $(registered) of 3 browsers"

setting 0
quiet regsvr32 /u /s "$win_dll" || fail "regsvr32 /u /s"
[ "$(registered)" = 0 ] || fail "regsvr32 /u left entries behind"
echo "regsvr32 /s and /u /s: registered all three browsers and removed them"
