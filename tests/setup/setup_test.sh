#!/usr/bin/env bash
# scripts/setup.sh against a package manager that fails in chosen ways: stand-in apt-get,
# dpkg, dpkg-query and sudo first on PATH, a stand-in for the i386 probe beside a copy of
# the real setup script. Checks what it installs, what it says and its exit status.
#   setup_test.sh SOURCE_DIR
set -uo pipefail
source_dir=$1
work=$(mktemp -d /tmp/dscp-setup-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL [$case_name]: $*" >&2
  failures=$((failures + 1))
}

mkdir -p "$work/bin"
# State of the pretend machine, in $STATE: installed (one package a line), broken (packages
# apt cannot give), update-failures (how many updates fail from now on), calls (a log).
cat >"$work/bin/dpkg-query" <<'STUB'
#!/usr/bin/env bash
pkg=${!#}
if grep -qxF "$pkg" "$STATE/installed"; then printf 'install ok installed'; exit 0; fi
echo "dpkg-query: no packages found matching $pkg" >&2
exit 1
STUB
cat >"$work/bin/dpkg" <<'STUB'
#!/usr/bin/env bash
echo "dpkg $*" >>"$STATE/calls"
case $1 in
  --print-foreign-architectures) cat "$STATE/architectures" ;;
  --add-architecture) echo "$2" >>"$STATE/architectures" ;;
esac
STUB
cat >"$work/bin/apt-get" <<'STUB'
#!/usr/bin/env bash
echo "apt-get $*" >>"$STATE/calls"
case " $* " in
  *" update "*)
    left=$(cat "$STATE/update-failures")
    if [ "$left" -gt 0 ]; then
      echo $((left - 1)) >"$STATE/update-failures"
      echo "E: Failed to fetch http://deb.example/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
      echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
      exit 100
    fi
    echo "Reading package lists..."
    exit 0 ;;
  *" install "*)
    pkgs=()
    for a in "$@"; do [[ $a == -* || $a == install ]] || pkgs+=("$a"); done
    for p in "${pkgs[@]}"; do
      if grep -qxF "$p" "$STATE/broken"; then
        echo "Reading package lists..."
        echo "The following packages have unmet dependencies:"
        echo " libwine:i386 : Depends: libgstreamer-plugins-base1.0-0:i386 (>= 1.0.0) but it is not going to be installed"
        echo "E: Unable to correct problems, you have held broken packages."
        exit 100
      fi
    done
    printf '%s\n' "${pkgs[@]}" >>"$STATE/installed"
    exit 0 ;;
esac
STUB
printf '#!/usr/bin/env bash\nexec "$@"\n' >"$work/bin/sudo"
chmod +x "$work/bin/"*

all_packages=$(grep -oE '\|(needed|optional)\|[^"]*' "$source_dir/scripts/setup.sh" | cut -d'|' -f3 | tr ' ' '\n')
[ "$(wc -l <<<"$all_packages")" -gt 20 ] || { echo "FAIL: could not read setup's package list" >&2; exit 1; }

# run_case NAME I386(0|1) UPDATE_FAILURES BROKEN INSTALLED...: runs setup, leaves its
# stderr in $err, exit status in $rc, the stand-ins' log in $calls.
run_case() {
  case_name=$1
  local i386=$2 update_failures=$3 broken=$4
  shift 4
  export STATE=$work/$case_name
  mkdir -p "$STATE/scripts"
  cp "$source_dir/scripts/setup.sh" "$STATE/scripts/"
  printf '#!/usr/bin/env bash\nexit %s\n' "$([ "$i386" = 1 ] && echo 0 || echo 126)" >"$STATE/scripts/runs-i386.sh"
  printf '%s\n' "$@" >"$STATE/installed"
  printf '%s\n' $broken >"$STATE/broken"
  echo "$update_failures" >"$STATE/update-failures"
  : >"$STATE/architectures"
  : >"$STATE/calls"
  err=$(PATH="$work/bin:$PATH" DSCP_APT_PAUSE=0 bash "$STATE/scripts/setup.sh" 2>&1 >/dev/null)
  rc=$?
  calls=$(cat "$STATE/calls")
}
count() { grep -c -- "$1" <<<"$2"; }
is_installed() { grep -qxF "$1" "$STATE/installed"; }

# Everything there already: apt is never asked.
run_case all-installed 1 0 "" $all_packages
[ "$rc" -eq 0 ] || fail "exit $rc"
[ -z "$calls" ] || fail "asked the package manager: $calls"
[ -z "$err" ] || fail "said: $err"

# An index that keeps failing: a few tries, one warning, then the install goes on.
run_case index-fails 0 99 "" cmake
[ "$rc" -eq 0 ] || fail "exit $rc: $err"
[ "$(count 'apt-get update' "$calls")" -eq 3 ] || fail "tried the update $(count 'apt-get update' "$calls") times"
[ "$(count 'could not be updated (E: Failed to fetch' "$err")" -eq 1 ] || fail "no one-line warning: $err"
is_installed ncdu && is_installed g++-mingw-w64-x86-64-posix || fail "did not install after the failed update"

# An index that fails once: no warning.
run_case index-fails-once 0 1 "" cmake
[ "$rc" -eq 0 ] && ! grep -q 'could not be updated' <<<"$err" || fail "exit $rc: $err"

# i386 executes, 32-bit Wine cannot be had: everything else installs, one line says why.
run_case wine32-broken 1 0 "wine32:i386" cmake
[ "$rc" -eq 0 ] || fail "exit $rc: $err"
grep -qx 'dpkg --add-architecture i386' <<<"$calls" || fail "i386 not added: $calls"
[ "$(count 'install .*wine32:i386' "$calls")" -eq 2 ] || fail "wine32 not tried twice: $calls"
grep -A1 'install .*wine32:i386' <<<"$calls" | grep -q 'apt-get .*update' || fail "no fresh update before the second try: $calls"
line=$(grep 'could not install 32-bit Wine' <<<"$err")
[ "$(wc -l <<<"$line")" -eq 1 ] && grep -q 'libwine:i386 : Depends: libgstreamer' <<<"$line" &&
  grep -q '32-bit Windows tests will be skipped' <<<"$line" || fail "report: $err"
is_installed nsis && is_installed jdupes && is_installed g++ || fail "other groups not installed"

# i386 does not execute: 32-bit Wine is never asked for, nor the i386 architecture.
run_case no-i386 0 0 "" cmake
[ "$rc" -eq 0 ] || fail "exit $rc: $err"
grep -q 'i386' <<<"$calls" && fail "asked for i386: $calls"
grep -q 'cannot execute i386 code.*32-bit Windows tests will be skipped' <<<"$err" || fail "report: $err"

# Something the tests need cannot be had: the rest installs, setup fails naming it.
run_case oracle-broken 0 0 "ncdu" cmake
[ "$rc" -eq 1 ] || fail "exit $rc"
grep -q "could not install the tests' peers and oracles (.*ncdu.*): libwine" <<<"$err" || fail "report: $err"
is_installed g++-mingw-w64-i686-posix || fail "the 32-bit toolchain was not installed"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "all setup checks passed"
