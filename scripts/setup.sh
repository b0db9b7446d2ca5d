#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 (or Ubuntu) machine.
# Idempotent: when everything is there it returns at once, without asking apt.
#
# The packages come in groups that are installed one after another and fail on their own,
# so that one package a mirror cannot give (it happens while a mirror syncs) keeps only its
# own group out. A group that could not be installed is named on one line with apt's reason.
# 32-bit Wine is asked for only where this machine executes i386 code.
#
# Exit status: 0 when everything the tests need is there (32-bit Wine is not needed: without
# it the 32-bit Windows binaries are checked without running them); 1 when something else
# could not be installed.
#
# DSCP_APT_PAUSE sets the seconds between two tries of `apt-get update` (default 5).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
pause=${DSCP_APT_PAUSE:-5}
update_tries=3

# name|needed|packages: "needed" groups make setup fail when they cannot be installed
groups=(
  "the native build and tests|needed|cmake ninja-build g++ make git pkg-config googletest libbenchmark-dev python3"
  "the 64-bit Windows toolchain and Wine|needed|g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64 wine wine64 fonts-wine xvfb xauth imagemagick"
  "the 32-bit Windows toolchain|needed|g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686"
  "32-bit Wine|optional|wine32:i386"
  "the release tools|needed|nsis lintian zip unzip dpkg-dev man-db groff-base"
  "the tests' peers and oracles|needed|ncdu gdu jdupes fdupes ntfs-3g"
)

log() { echo "setup: $*" >&2; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

installed() {
  # dpkg-query prints "install ok installed" only for a fully installed package
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

# The first line of apt's output that says why: a broken dependency, else its first error.
apt_reason() {
  local out=$1 line
  line=$(grep -m1 -E '^ *[^ ].* : Depends: ' <<<"$out" | sed -E 's/^ +//')
  [ -n "$line" ] || line=$(grep -m1 '^E: ' <<<"$out")
  [ -n "$line" ] || line=$(grep -v '^\s*$' <<<"$out" | tail -n1)
  echo "$line"
}

if bash "$here/runs-i386.sh"; then
  runs_i386=1
else
  runs_i386=0
fi

# What each group still lacks.
declare -a group_missing
any_missing=0
for i in "${!groups[@]}"; do
  IFS='|' read -r name need packages <<<"${groups[$i]}"
  missing=()
  if [[ $packages == *:i386* ]] && [ "$runs_i386" -eq 0 ]; then
    group_missing[i]=""
    continue
  fi
  for p in $packages; do
    installed "$p" || missing+=("$p")
  done
  group_missing[i]="${missing[*]}"
  [ ${#missing[@]} -eq 0 ] || any_missing=1
done

if [ "$runs_i386" -eq 0 ] && ! installed wine32:i386; then
  log "32-bit Wine is not installed: this machine cannot execute i386 code" \
    "(the 32-bit Windows tests will be skipped)"
fi

[ "$any_missing" -eq 1 ] || exit 0

export DEBIAN_FRONTEND=noninteractive

if [ "$runs_i386" -eq 1 ] && [[ " ${group_missing[*]} " == *":i386"* ]] &&
  ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
fi

# A mirror in the middle of a sync fails an index now and then; a few tries, then go on
# with the lists at hand (the packages may well be in them).
update_lists() {
  local try out
  for ((try = 1; try <= update_tries; try++)); do
    if out=$(as_root apt-get update -q 2>&1) && ! grep -q '^[EW]: Failed to fetch' <<<"$out"; then
      return 0
    fi
    [ "$try" -lt "$update_tries" ] && sleep "$pause"
  done
  log "warning: a package index could not be updated ($(apt_reason "$out"));" \
    "installing from the lists at hand"
  return 1
}

install_group() {
  as_root apt-get install -y -q --no-install-recommends "$@" 2>&1
}

update_lists
status=0
for i in "${!groups[@]}"; do
  [ -n "${group_missing[$i]}" ] || continue
  IFS='|' read -r name need packages <<<"${groups[$i]}"
  read -r -a pkgs <<<"${group_missing[$i]}"
  log "installing $name: ${pkgs[*]}"
  if ! out=$(install_group "${pkgs[@]}"); then
    # The lists may be older than the mirror: once more with fresh ones.
    update_lists
    if ! out=$(install_group "${pkgs[@]}"); then
      if [ "$need" = needed ]; then
        log "could not install $name (${pkgs[*]}): $(apt_reason "$out")"
        status=1
      else
        log "could not install $name (${pkgs[*]}): $(apt_reason "$out");" \
          "the 32-bit Windows tests will be skipped"
      fi
    fi
  fi
done
exit $status
