#!/usr/bin/env bash
# The installer's journey on a machine that never had the program: a Wine prefix of its
# own, made fresh. An earlier version is installed silently into a folder of the user's
# choice and the user's settings are written; this version is installed silently over it;
# the Start Menu shortcut and the uninstall entry are checked, the program is started
# through the shortcut's target and shows a drive's totals, its version resources are read
# as Explorer reads them; the silent uninstall, and the restart that deletes the
# uninstaller's own temporary copy, leave nothing the installers made, and the settings.
#   installer_journey.sh win32|win64 VERSION DSCP_EXE DSCP_REPORT_EXE DRIVER_EXE
set -uo pipefail
arch=$1 version=$2 dscp=$3 report=$4 driver=$5
root=$(cd "$(dirname "$0")/../.." && pwd)
here=$root/tests/win
case $arch in
  win32) tools=i686-w64-mingw32 bits=32 ;;
  win64) tools=x86_64-w64-mingw32 bits=64 ;;
  *) echo "unknown architecture $arch" >&2; exit 2 ;;
esac
work=$(mktemp -d /tmp/dscp-journey.XXXXXX)
prefix=$work/prefix
cleanup() {
  WINEPREFIX=$prefix wineserver -k 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
# Wine would copy the Start Menu into the desktop's menus of the user running the test.
export WINEDLLOVERRIDES=winemenubuilder.exe=d

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
die() { echo "FAIL: $*" >&2; exit 1; }
wine() { "$root/cmake/wine-run.sh" "$arch" "$prefix" "$@" </dev/null; }
# Waits until the prefix's processes and its server have ended: the server writes the
# registry files when it goes.
settle() { WINEPREFIX=$prefix wineserver -w; }
# One value of a registry key, or nothing.
reg_value() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
# Waits up to a minute for a condition (a command) to hold.
wait_for() {
  local deadline=$((SECONDS + 60))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}
gone() { [ ! -e "$1" ]; }

# The installers: this version and an earlier one, of the same programs without their
# debugging information (what a release ships; it also keeps the packing quick).
major=${version%%.*}
earlier="$((major > 0 ? major - 1 : 0)).9.0"
mkdir -p "$work/programs"
"$tools-strip" -o "$work/programs/dscp.exe" "$dscp" || die "cannot strip $dscp"
"$tools-strip" -o "$work/programs/dscp-report.exe" "$report" || die "cannot strip $report"
for v in "$earlier" "$version"; do
  bash "$root/packaging/make_installer.sh" "$arch" "$v" "$work/programs/dscp.exe" \
    "$work/programs/dscp-report.exe" "$work/setup-$v.exe" || die "no installer for $v"
done

# A fresh machine: its windows unmanaged (no window manager waits), a drive M: holding a
# small tree, and a folder of the user's for programs.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null ||
  die "cannot create the Wine prefix"
tree=$work/tree
mkdir -p "$tree/big" "$tree/small" "$prefix/drive_c/Tools"
for f in 1 2 3; do head -c 1048576 /dev/zero >"$tree/big/$f"; done
head -c 102400 /dev/zero >"$tree/small/s.dat"
head -c 51200 /dev/zero >"$tree/notes.txt"
head -c 524288 /dev/zero >"$tree/photo.jpg"
ln -s "$tree" "$prefix/dosdevices/m:"
settle
python3 "$here/prefix_snapshot.py" take "$prefix" "$work/before.json" || die "no snapshot"

# The earlier version, silently, into the user's folder (a blank in its name); then the
# user's settings: the tree pane's width.
folder='C:\Tools\Dir scope'
unix_folder="$prefix/drive_c/Tools/Dir scope"
# The folder goes last and unquoted, as the installer wants it: through a batch file, since
# Wine would quote an argument holding a blank.
printf '@"%s" /S /D=%s\r\n' "Z:${work//\//\\}\\setup-$earlier.exe" "$folder" >"$work/earlier.bat"
wine cmd /c "Z:${work//\//\\}\\earlier.bat" || die "the earlier installer failed"
[ -f "$unix_folder/dscp.exe" ] || die "the earlier version is not in $folder"
settings='HKCU\Software\Tarnwick\Dirscope\Dirscope.BarState-SCBar-101'
wine reg add "$settings" /v sizeVertCX /t REG_DWORD /d 300 /f >/dev/null

# This version over it, silently, without naming a folder: it goes where the earlier one is.
wine "$work/setup-$version.exe" /S || fail "the installer failed"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Dirscope'
entries=$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' |
  tr -d '\r' | grep -ci 'dirscope')
[ "$entries" = 1 ] || fail "$entries uninstall entries for Dirscope, expected one"
for check in "DisplayName=Dirscope ($bits-bit)" "DisplayVersion=$version" "Publisher=Tarnwick" \
  "InstallLocation=$folder" "UninstallString=\"$folder\\uninstall.exe\"" \
  "QuietUninstallString=\"$folder\\uninstall.exe\" /S"; do
  found=$(reg_value "$key" "${check%%=*}")
  [ "$found" = "${check#*=}" ] || fail "uninstall entry: ${check%%=*} is '$found', expected '${check#*=}'"
done
size=$(reg_value "$key" EstimatedSize)
[ $((size)) -ge $(($(du -sk "$unix_folder" | cut -f1) / 2)) ] ||
  fail "uninstall entry: EstimatedSize $size KB for $(du -sk "$unix_folder" | cut -f1) KB"
files=$(cd "$unix_folder" && LC_ALL=C ls | tr '\n' ' ')
[ "$files" = "dscp-report.exe dscp.exe uninstall.exe " ] || fail "the program folder holds: $files"
cmp -s "$unix_folder/dscp.exe" "$work/programs/dscp.exe" || fail "dscp.exe is not the one packed"
[ ! -e "$prefix/drive_c/Program Files/Dirscope" ] || fail "the upgrade went into Program Files"
[ "$(reg_value "$settings" sizeVertCX)" = 0x12c ] || fail "the upgrade lost the user's settings"

# The Start Menu shortcut, for every user, starts the installed program.
link='C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Dirscope.lnk'
target=$(wine "$driver" shortcut "$link" | tr -d '\r' | sed -n 's/^Target=//p')
[ "$target" = "$folder\\dscp.exe" ] || fail "the shortcut starts '$target'"

# Both programs carry this version, as Explorer's Properties show it.
for program in dscp.exe dscp-report.exe; do
  info=$(wine "$driver" version "$folder\\$program" | tr -d '\r')
  for line in "FileVersion#$version.0" "FileVersion=$version" "ProductVersion=$version" \
    "ProductName=Dirscope" "CompanyName=Tarnwick"; do
    grep -qxF "$line" <<<"$info" || fail "$program: no '$line' in its version: $(tr '\n' ' ' <<<"$info")"
  done
done

# The installed program, started as the shortcut does, shows drive M:'s totals (and the
# tree pane as wide as the user left it), and ends from File Exit.
shown=$(wine "$driver" show "$folder\\dscp.exe" M | tr -d '\r') || fail "the program did not show M: $shown"
for line in "Status=2 directory, 2 files, Total Size:3.6 MB" "TreePaneWidth=300" "ExitCode=0"; do
  grep -qxF "$line" <<<"$shown" || fail "the program did not show '$line': $(tr '\n' ' ' <<<"$shown")"
done
grep -q '^Row=big|3.0 MB|' <<<"$shown" || fail "no total of M:\\big first: $(tr '\n' ' ' <<<"$shown")"

# The silent uninstall, as Add/Remove Programs runs it. It works from a copy of itself,
# which the system deletes at the next restart: the restart comes before the comparison.
quiet=$(reg_value "$key" QuietUninstallString)
uninstaller=${quiet#\"}
uninstaller=${uninstaller%%\"*}
wine "$uninstaller" ${quiet##*\" } || fail "the uninstaller failed"
wait_for gone "$unix_folder" || fail "the program folder is still there"
wait_for gone "$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Dirscope.lnk" ||
  fail "the shortcut is still there"
settle
wine wineboot -r
settle
python3 "$here/prefix_snapshot.py" take "$prefix" "$work/after.json" || die "no snapshot"
left=$(python3 "$here/prefix_snapshot.py" added "$work/before.json" "$work/after.json")
# The user's settings stay: the program's own key, written by the program, not the installer.
expected="HKCU\\Software\\Tarnwick\\Dirscope\\Dirscope.BarState-SCBar-101
HKCU\\Software\\Tarnwick\\Dirscope\\Dirscope.BarState-SCBar-101 : sizeVertCX"
[ "$left" = "$expected" ] || fail "after the uninstall the prefix has more than the settings:
$left"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) of the $arch installer journey failed" >&2
  exit 1
fi
echo "the $arch installer journey checks out: $earlier upgraded to $version in place," \
  "settings kept, program shown, nothing left after the uninstall"
