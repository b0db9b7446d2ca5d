#!/usr/bin/env bash
# The release as a user gets it: scripts/release.sh makes it from clean builds into a
# folder of its own, then every file is checked. The Debian package is installed with
# dpkg into a scratch root (--root: its own database, the system's libraries taken as
# given), its program runs from there, man finds its page there, and lintian finds no
# error. The zips and installers carry the version and the right architecture; where
# this machine runs 32-bit Windows code, both installers go into one 64-bit Wine prefix,
# the 32-bit one into the 32-bit Program Files and registry view, side by side.
#   release_test.sh VERSION
set -uo pipefail
version=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d /tmp/dscp-release-test.XXXXXX)
prefix=$work/prefix
cleanup() {
  [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
die() { echo "FAIL: $*" >&2; exit 1; }

dist=$work/dist
DSCP_DIST=$dist bash "$root/scripts/release.sh" </dev/null || die "release.sh failed"
arch=$(dpkg --print-architecture)
deb=dscp-report_${version}_$arch.deb
expected="SHA256SUMS dscp-$version-win32-setup.exe dscp-$version-win32.zip dscp-$version-win64-setup.exe dscp-$version-win64.zip $deb"
found=$(cd "$dist" && LC_ALL=C ls | tr '\n' ' ')
[ "$found" = "$expected " ] || fail "dist holds '$found', expected '$expected'"
(cd "$dist" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match"

# The Windows files: the programs of each architecture with the version, in the zip and
# (by its own version resource) in the installer.
for win in win32 win64; do
  case $win in
    win32) format=pei-i386 tools=i686-w64-mingw32 ;;
    win64) format=pei-x86-64 tools=x86_64-w64-mingw32 ;;
  esac
  mkdir -p "$work/$win"
  unzip -q "$dist/dscp-$version-$win.zip" -d "$work/$win" || fail "$win zip cannot be read"
  folder=$work/$win/dscp-$version-$win
  listing=$(cd "$folder" 2>/dev/null && LC_ALL=C ls | tr '\n' ' ')
  [ "$listing" = "README.txt dscp-report.exe dscp.exe " ] || fail "$win zip holds '$listing'"
  for program in "$folder/dscp.exe" "$folder/dscp-report.exe" "$dist/dscp-$version-$win-setup.exe"; do
    name="$win $(basename "$program")"
    [ "$("$tools-objdump" -f "$program" 2>/dev/null | sed -n 's/.*file format //p')" = "$format" ] ||
      fail "$name is not $format"
    python3 "$root/tests/win/pe_version.py" "$program" | grep -qxF "ProductVersion=$version" ||
      fail "$name does not carry version $version"
  done
  "$tools-objdump" -h "$folder/dscp.exe" | grep -q '\.debug_' && fail "$win dscp.exe is not stripped"
done

# The Debian package, installed into a scratch root.
fields=$(dpkg-deb -f "$dist/$deb" Package Version Architecture)
[ "$fields" = "Package: dscp-report
Version: $version
Architecture: $arch" ] || fail "control fields: $fields"
scratch=$work/root
mkdir -p "$scratch/var/lib/dpkg/info" "$scratch/var/lib/dpkg/updates"
touch "$scratch/var/lib/dpkg/status"
# (dpkg names each dependency it was told to pass over: said only when it fails)
installed=$(dpkg --root="$scratch" --force-not-root --force-depends --log=/dev/null \
  -i "$dist/$deb" 2>&1) || fail "dpkg -i into the scratch root failed: $installed"
dpkg --root="$scratch" -s dscp-report 2>/dev/null | grep -qx 'Status: install ok installed' ||
  fail "dpkg does not know the package as installed"
program=$scratch/usr/bin/dscp-report
shown=$("$program" --version 2>&1) && grep -q "$version" <<<"$shown" ||
  fail "dscp-report --version says '$shown', not $version"
mkdir -p "$work/tree/sub"
head -c 3000 /dev/zero >"$work/tree/sub/file"
report=$("$program" "$work/tree" 2>/dev/null) || fail "the installed dscp-report cannot scan a folder"
grep -q '^sub ' <<<"$report" || fail "the installed dscp-report shows no 'sub': $report"
page=$(MANPATH=$scratch/usr/share/man man -w dscp-report 2>&1)
[ "$page" = "$scratch/usr/share/man/man1/dscp-report.1.gz" ] || fail "man finds '$page'"
MANPATH=$scratch/usr/share/man MANWIDTH=80 man -P cat dscp-report 2>/dev/null | grep -q '^NAME' ||
  fail "man does not show the page"
lint=$(lintian --fail-on error "$dist/$deb" 2>&1) || fail "lintian reports errors: $lint"
grep -v 'running with root privileges' <<<"$lint" >&2

# Both installers on one 64-bit Windows: the 32-bit program in the 32-bit Program Files
# and registry view, the 64-bit one in the 64-bit ones, each with its own entry.
if bash "$root/scripts/runs-i386.sh"; then
  export WINEDLLOVERRIDES=winemenubuilder.exe=d
  wine() { "$root/cmake/wine-run.sh" win64 "$prefix" "$@" </dev/null; }
  uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Dirscope'
  wine "$dist/dscp-$version-win32-setup.exe" /S || fail "the 32-bit installer failed"
  wine "$dist/dscp-$version-win64-setup.exe" /S || fail "the 64-bit installer failed"
  drive=$prefix/drive_c
  [ -f "$drive/Program Files (x86)/Dirscope/dscp.exe" ] || fail "no 32-bit dscp.exe in Program Files (x86)"
  [ -f "$drive/Program Files/Dirscope/dscp.exe" ] || fail "no 64-bit dscp.exe in Program Files"
  cmp -s "$drive/Program Files (x86)/Dirscope/dscp.exe" "$work/win32/dscp-$version-win32/dscp.exe" ||
    fail "Program Files (x86) holds another dscp.exe than the 32-bit one"
  for view in 32 64; do
    entry=$(wine reg query "HKLM\\$uninstall_key" /reg:$view 2>/dev/null | tr -d '\r')
    grep -q "DisplayName *REG_SZ *Dirscope ($view-bit)" <<<"$entry" ||
      fail "no $view-bit entry in the $view-bit registry view: $entry"
  done
  for folder in 'C:\Program Files (x86)\Dirscope' 'C:\Program Files\Dirscope'; do
    wine "$folder\\uninstall.exe" /S || fail "the uninstaller in $folder failed"
  done
  deadline=$((SECONDS + 60))
  while [ -e "$drive/Program Files (x86)/Dirscope" ] || [ -e "$drive/Program Files/Dirscope" ]; do
    [ "$SECONDS" -lt "$deadline" ] || { fail "the uninstallers left their folders"; break; }
    sleep 0.2
  done
else
  echo "release test: this machine cannot execute i386 code; both installers in one" \
    "64-bit prefix were not tried" >&2
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) of the release failed" >&2
  exit 1
fi
echo "the release checks out: $expected"
