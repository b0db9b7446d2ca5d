#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 (or Ubuntu) machine.
# Idempotent: a second run checks and returns quickly.
set -euo pipefail

packages=(
  cmake ninja-build g++ make git pkg-config
  googletest libbenchmark-dev
  g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
  wine wine64 wine32:i386 fonts-wine xvfb xauth imagemagick
  python3
  nsis lintian zip unzip dpkg-dev man-db
  gdu ncdu
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
  # dpkg-query prints "install ok installed" only for a fully installed package
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}" >&2
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
as_root apt-get update -q
as_root apt-get install -y -q --no-install-recommends "${missing[@]}"
