#!/usr/bin/env bash
# Makes the Debian package of dscp-report from a built program and its man page.
#   make_deb.sh VERSION DSCP_REPORT MANPAGE OUT_DIR      (prints the package's path)
# The program is stripped into the package; the changelog's date is the last commit's, so
# the same commit makes the same package.
set -euo pipefail
version=$1 program=$2 manpage=$3 out=$(realpath -m "$4")
here=$(cd "$(dirname "$0")" && pwd)
package=dscp-report
arch=$(dpkg --print-architecture)
maintainer="Tarnwick <dirscope@tarnwick.example>"
umask 022
work=$(mktemp -d /tmp/dscp-deb.XXXXXX)
trap 'rm -rf "$work"' EXIT
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$here" log -1 --format=%ct 2>/dev/null || date +%s)}
export SOURCE_DATE_EPOCH=$epoch

data=$work/$package
doc=$data/usr/share/doc/$package
install -d "$data/DEBIAN" "$data/usr/bin" "$data/usr/share/man/man1" "$doc"
install -m 0755 "$program" "$data/usr/bin/$package"
strip --strip-unneeded --remove-section=.comment --remove-section=.note "$data/usr/bin/$package"
gzip -9n <"$manpage" >"$data/usr/share/man/man1/$package.1.gz"
install -m 0644 "$here/debian/copyright" "$doc/copyright"
cat >"$work/changelog" <<CHANGELOG
$package ($version) unstable; urgency=medium

  * Release $version.

 -- $maintainer  $(date -R -u -d "@$epoch")
CHANGELOG
gzip -9n <"$work/changelog" >"$doc/changelog.gz"
chmod 0644 "$data/usr/share/man/man1/$package.1.gz" "$doc/changelog.gz"

# The libraries the program needs, as dpkg-shlibdeps finds them (it wants a control file).
mkdir -p "$work/shlibs/debian"
printf 'Source: %s\n\nPackage: %s\nArchitecture: any\n' "$package" "$package" \
  >"$work/shlibs/debian/control"
depends=$(cd "$work/shlibs" && dpkg-shlibdeps -O "$data/usr/bin/$package" 2>/dev/null |
  sed -n 's/^shlibs:Depends=//p')

cat >"$data/DEBIAN/control" <<CONTROL
Package: $package
Version: $version
Architecture: $arch
Maintainer: $maintainer
Installed-Size: $(du -sk --exclude=DEBIAN "$data" | cut -f1)
Depends: $depends
Section: utils
Priority: optional
Description: folder sizes as a fixed-width text report
 dscp-report lists a folder's subfolders and files with their sizes, types
 and dates, totals every subfolder (walking the tree on several threads),
 and prints a fixed-width report, largest first. It can also write the
 scan as JSON in ncdu's export format or as CSV.
 .
 It is the command-line companion of Dirscope, a Windows folder-size viewer.
CONTROL
(cd "$data" && find usr -type f -print0 | sort -z | xargs -0 md5sum >DEBIAN/md5sums)
chmod 0644 "$data/DEBIAN/md5sums"
find "$data" -exec touch -h -d "@$epoch" {} +
mkdir -p "$out"
deb=$out/${package}_${version}_$arch.deb
dpkg-deb --root-owner-group -Zxz --build "$data" "$deb" >/dev/null
echo "$deb"
