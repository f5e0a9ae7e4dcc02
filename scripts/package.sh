#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Debian package cantiere_VERSION_ARCH.deb in the top folder and
# checks it with lintian. On a fresh Debian 12 machine, as root, this one
# command installs what building needs and does the rest.
#
# The package is dpkg-deb's work on a staged `cmake --install`: the install
# rules in packaging/ are the one list of what is installed, for a package
# and for a plain install alike, and each step a Debian package needs beyond
# them (stripping, compressed manual pages and changelog, md5sums,
# dependencies from dpkg-shlibdeps) is a visible line below rather than a
# generator's setting.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

build="build-deb"
# Staged where dpkg-shlibdeps looks for a package's files.
stage=$build/debian/cantiere

# A release build with Debian's own hardening flags (all of them, so also
# immediate binding), laid out as Debian's games are: /usr/games and
# /usr/share/games/cantiere.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DCANTIERE_GAMES_LAYOUT=ON \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build" -j"$(nproc)" --target cantiere cantiere-sim sdl_link_check
# shellcheck source=/dev/null
source "$build/packaging/package.env"

rm -rf "$stage"
DESTDIR="$PWD/$stage" cmake --install "$build" >/dev/null
strip --remove-section=.comment --remove-section=.note "$stage"/usr/games/*

doc=$stage/usr/share/doc/cantiere
install -m 0644 packaging/copyright "$doc/copyright"
install -D -m 0644 packaging/lintian-overrides "$stage/usr/share/lintian/overrides/cantiere"
{
  echo "cantiere ($CANTIERE_VERSION) bookworm; urgency=medium"
  echo
  echo "  * Version $CANTIERE_VERSION, the handheld's S3/1.04a. What is new in it is in"
  echo "    /usr/share/games/cantiere/whatsnew.txt."
  echo
  echo " -- The Cantiere developers <packages@$CANTIERE_DOMAIN>  $(date -R -u -d "$CANTIERE_RELEASE_DATE")"
} >"$doc/changelog"
gzip -9n "$doc/changelog" "$stage"/usr/share/man/man6/*.6

find "$stage" -type d -exec chmod 0755 {} +
find "$stage" -type f -exec chmod 0644 {} +
chmod 0755 "$stage"/usr/games/*

# Dependencies from the libraries the programs link. dpkg-shlibdeps wants
# to run in a source tree that names the package, with the package's
# DEBIAN folder begun; a few lines stand for the tree.
mkdir -p "$stage/DEBIAN"
printf 'Source: cantiere\n\nPackage: cantiere\nArchitecture: any\n' >"$build/debian/control"
# The desktop program loads SDL and SDL_mixer on first use instead of
# linking them; sdl_link_check links every function it loads, so it speaks
# for those two, from the staged tree for as long as it is read.
install -m 0755 "$build/frontend/sdl_link_check" "$stage/usr/games/"
shlibs=$(cd "$build" && dpkg-shlibdeps -O -edebian/cantiere/usr/games/cantiere \
  -edebian/cantiere/usr/games/cantiere-sim -edebian/cantiere/usr/games/sdl_link_check |
  sed -n 's/^shlibs:Depends=//p')
rm "$stage/usr/games/sdl_link_check"
[[ -n $shlibs ]] || { echo "package: dpkg-shlibdeps found no libraries" >&2; exit 1; }
for needed in libsdl2-2.0-0 libsdl2-mixer-2.0-0; do
  grep -qE "(^|, )$needed( |,|$)" <<<"$shlibs" ||
    { echo "package: no dependency on $needed found" >&2; exit 1; }
done

arch=$(dpkg --print-architecture)
# Installed-Size as dpkg-gencontrol counts it: KiB per file, rounded up, and
# one for each folder.
size=$(find "$stage" -mindepth 1 -path "$stage/DEBIAN" -prune -o -printf '%y %s\n' |
  awk '$1 == "f" { kib += int(($2 + 1023) / 1024); next } { kib += 1 } END { print kib }')
sed -e "s/\${Architecture}/$arch/" -e "s/\${Installed-Size}/$size/" \
  -e "s/\${shlibs:Depends}/$shlibs/" "$build/packaging/control" >"$stage/DEBIAN/control"
(cd "$stage" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$stage/DEBIAN/md5sums"
chmod 0644 "$stage/DEBIAN/control" "$stage/DEBIAN/md5sums"

# Every file dated the release day, so the same source makes the same package.
export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(date -u -d "$CANTIERE_RELEASE_DATE" +%s)
find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

deb=cantiere_${CANTIERE_VERSION}_${arch}.deb
rm -f cantiere_*.deb
dpkg-deb --root-owner-group -Zxz --build "$stage" "$deb" >/dev/null

# Errors and warnings fail; infos and pedantic notes are shown only.
lintian --fail-on error,warning --display-info "$deb"
echo "$deb"
