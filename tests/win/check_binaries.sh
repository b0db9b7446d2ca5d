#!/usr/bin/env bash
# Checks the Windows binaries of one build without running them, with the mingw binutils:
# the machine type, the manifests, the imports, the DLL's exports with their ordinals and
# the version resources. It runs on any machine, so a build that cannot run here is still
# checked.
#   check_binaries.sh win32|win64 VERSION DSCP_EXE DSCP_REPORT_EXE CORVIDREG_DLL
set -uo pipefail
arch=$1 project_version=$2 dscp=$3 report=$4 corvidreg=$5
case $arch in
  win32) tools=i686-w64-mingw32 format=pei-i386 manifest_arch=x86 ;;
  win64) tools=x86_64-w64-mingw32 format=pei-x86-64 manifest_arch=amd64 ;;
  *) echo "unknown architecture $arch" >&2; exit 2 ;;
esac
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

for binary in "$dscp" "$report" "$corvidreg"; do
  name=$(basename "$binary")
  [ -f "$binary" ] || { fail "$name is missing"; continue; }
  found=$("$tools-objdump" -f "$binary" | sed -n 's/.*file format \(.*\)$/\1/p')
  [ "$found" = "$format" ] || fail "$name: file format '$found', expected $format"

  # Statically linked: nothing but the system's own libraries.
  while read -r dll; do
    case ${dll,,} in
      libstdc++* | libgcc* | libwinpthread*) fail "$name imports $dll (not linked statically)" ;;
    esac
  done < <("$tools-objdump" -p "$binary" | sed -n 's/^\s*DLL Name: //p')
done

# The programs' manifests name this build's architecture and ask for the UTF-8 code page and
# per-monitor DPI awareness (version 2, with the older setting for systems before it);
# dscp.exe's also asks for common controls 6.
for binary in "$dscp" "$report"; do
  name=$(basename "$binary")
  manifest=$(grep -a -o '<assembly .*</assembly>' <(tr -d '\r\n' <"$binary"))
  [ -n "$manifest" ] || { fail "$name has no manifest"; continue; }
  archs=$(grep -o 'processorArchitecture="[^"]*"' <<<"$manifest" | sort -u)
  [ "$archs" = "processorArchitecture=\"$manifest_arch\"" ] ||
    fail "$name: manifest names $(tr '\n' ' ' <<<"$archs"), expected only $manifest_arch"
  grep -q '<activeCodePage[^>]*>UTF-8</activeCodePage>' <<<"$manifest" ||
    fail "$name: manifest without the UTF-8 code page"
  grep -q '<dpiAwareness[^>]*>PerMonitorV2, PerMonitor</dpiAwareness>' <<<"$manifest" &&
    grep -q '<dpiAware[^>]*>true/pm</dpiAware>' <<<"$manifest" ||
    fail "$name: manifest without per-monitor DPI awareness"
done
manifest=$(grep -a -o '<assembly .*</assembly>' <(tr -d '\r\n' <"$dscp"))
grep -q 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' <<<"$manifest" ||
  fail "dscp.exe: manifest without common controls 6"

# CorvidReg.dll: eight undecorated exports, ordinals 1 to 8 in name order, and its version.
exports=$("$tools-objdump" -p "$corvidreg" |
  sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/s/^\s*\[ *\([0-9]*\)\] \(.*\)$/\1 \2/p' | tr '\n' ' ')
expected="0 DllRegisterServer 1 DllUnregisterServer 2 RegIE 3 RegNetCaptor 4 RegNetscape 5 UnregIE 6 UnregNetCaptor 7 UnregNetscape "
[ "$exports" = "$expected" ] || fail "CorvidReg.dll exports '$exports', expected '$expected'"
base=$("$tools-objdump" -p "$corvidreg" | sed -n 's/^Ordinal Base\s*//p')
[ "$base" = 1 ] || fail "CorvidReg.dll: ordinal base '$base', expected 1"
version=$("$tools-windres" -i "$corvidreg" -O rc 2>/dev/null | sed -n 's/^ *FILEVERSION *//p' | tr -d ' ')
[ "$version" = "1,25,1,0" ] || fail "CorvidReg.dll: file version '$version', expected 1,25,1,0"

# The programs carry the project's version, in the fixed part and in the strings Explorer
# shows.
for binary in "$dscp" "$report"; do
  name=$(basename "$binary")
  info=$(python3 "$(dirname "$0")/pe_version.py" "$binary") || { fail "$name: no version resource"; continue; }
  for line in "FileVersion#$project_version.0" "FileVersion=$project_version" "ProductVersion=$project_version" \
    "ProductName=Dirscope" "CompanyName=Tarnwick" "OriginalFilename=$name"; do
    grep -qxF "$line" <<<"$info" || fail "$name: version resource without '$line': $(tr '\n' ' ' <<<"$info")"
  done
done

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) of the $arch binaries failed" >&2
  exit 1
fi
echo "the $arch binaries check out: $format, manifests for $manifest_arch, static, eight exports by ordinal, version 1.25.1.0, programs $project_version"
