#!/usr/bin/env bash
# Makes the release in dist/ from clean builds of the shipped programs (no tests):
#   dscp-VERSION-win32-setup.exe, dscp-VERSION-win64-setup.exe   the installers
#   dscp-VERSION-win32.zip, dscp-VERSION-win64.zip               the portable programs
#   dscp-report_VERSION_ARCH.deb                                 dscp-report for Linux
#   SHA256SUMS
# VERSION is the project's (project(VERSION) in the top CMakeLists.txt). The builds go to
# build/release-*, made anew each time. DSCP_DIST=DIR writes the release elsewhere.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dist=$(realpath -m "${DSCP_DIST:-$root/dist}")
cd "$root"
bash scripts/setup.sh || echo "release: setup could not install everything; going on" >&2

# Configures and builds the given targets of one platform in build/release-NAME, with
# the CMake arguments in the array cmake_args.
#   clean_build NAME TARGET...
clean_build() {
  local name=$1
  shift
  local dir=build/release-$name log
  rm -rf "$dir"
  log=$(mktemp)
  if ! cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    "${cmake_args[@]}" >"$log" 2>&1 || ! cmake --build "$dir" -j2 --target "$@" >>"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    echo "release: the $name build failed" >&2
    exit 1
  fi
  grep -A3 'warning:' "$log" >&2 || true
  rm -f "$log"
  echo "release: built $* for $name" >&2
}

# The Linux build with the distribution's hardening flags, as a Debian package has it.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake_args=("-DCMAKE_CXX_FLAGS=$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
  "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)")
clean_build linux dscp-report
version=$(sed -n 's/^#define DSCP_VERSION_TEXT "\(.*\)"$/\1/p' \
  build/release-linux/src/version/include/dscp_version.h)
[ -n "$version" ] || { echo "release: no version in the build" >&2; exit 1; }
cmake_args=("-DCMAKE_TOOLCHAIN_FILE=$root/cmake/mingw-w64-i686.cmake")
clean_build win32 dscp dscp-report
cmake_args=("-DCMAKE_TOOLCHAIN_FILE=$root/cmake/mingw-w64-x86_64.cmake")
clean_build win64 dscp dscp-report

# Every file dated by the last commit, so that the same commit makes the same archives.
epoch=$(git log -1 --format=%ct 2>/dev/null || date +%s)
export SOURCE_DATE_EPOCH=$epoch
rm -rf "$dist"
mkdir -p "$dist"
stage=$(mktemp -d /tmp/dscp-release.XXXXXX)
trap 'rm -rf "$stage"' EXIT
for arch in win32 win64; do
  case $arch in
    win32) tools=i686-w64-mingw32 ;;
    win64) tools=x86_64-w64-mingw32 ;;
  esac
  # The portable zip: the two programs and a short read-me in one folder.
  folder=$stage/dscp-$version-$arch
  mkdir -p "$folder"
  "$tools-strip" -o "$folder/dscp.exe" "build/release-$arch/src/app/dscp.exe"
  "$tools-strip" -o "$folder/dscp-report.exe" "build/release-$arch/src/cli/dscp-report.exe"
  sed -e "s/@VERSION@/$version/g" -e "s/@BITS@/${arch#win}/g" packaging/portable-readme.txt |
    sed 's/$/\r/' >"$folder/README.txt"
  touch -d "@$epoch" "$folder"/*
  (cd "$stage" && zip -q -X -r "$dist/dscp-$version-$arch.zip" "dscp-$version-$arch")
  bash packaging/make_installer.sh "$arch" "$version" "$folder/dscp.exe" "$folder/dscp-report.exe" \
    "$dist/dscp-$version-$arch-setup.exe"
done
bash packaging/make_deb.sh "$version" build/release-linux/src/cli/dscp-report docs/dscp-report.1 \
  "$dist" >/dev/null
(cd "$dist" && sha256sum -- * >SHA256SUMS)
echo "release: dscp $version in $dist:" >&2
ls -l "$dist" >&2
