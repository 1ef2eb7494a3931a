#!/usr/bin/env bash
# The packages as players get them. The Debian package: built; judged by
# lintian and the desktop-entry and AppStream validators; built again from
# two copies of this tree, one under umask 077 inside another repository,
# and compared byte for byte; installed, played, its manual read, removed,
# and nothing of it left. The Windows zip: unpacked, its .txt CRLF, made
# again in another time zone the same bytes, its .exe looked into and played
# under wine. The page's archive: unpacked, the same as cmake --install
# gives, and played in chromium. Needs root, as CI is.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
winning=tests/transcripts/shortest_winning_game.in

echo "== the Debian package"
cmake --workflow --preset package >/dev/null
package=$(ls build/package/tinkerspindle_*.deb)
version=$(dpkg-deb --field "$package" Version)
dpkg-deb --field "$package" Package Version Section Depends
lintian --pedantic --info --display-experimental --fail-on error,warning,info,pedantic \
    "$package" 2>/dev/null || fail "lintian: $(lintian --pedantic --info "$package" 2>&1)"
dpkg-deb -x "$package" "$work/root"
for entry in "$work"/root/usr/share/applications/*.desktop; do
    found=$(desktop-file-validate "$entry" 2>&1) && [ -z "$found" ] || fail "desktop-file-validate: $found"
done
appstreamcli validate --no-net "$work"/root/usr/share/metainfo/*.metainfo.xml >/dev/null ||
    fail "appstreamcli: $(appstreamcli validate --no-net "$work"/root/usr/share/metainfo/*.xml)"
echo "ok: lintian, desktop-file-validate and appstreamcli find nothing"

# Copies of this tree as it is, without its history, take the changelog's date,
# also the one under umask 077 inside a repository whose last commit is older.
git init -q "$work/elsewhere"
GIT_COMMITTER_DATE="1000000000 +0000" git -C "$work/elsewhere" -c user.name=check \
    -c user.email=check@tinkerspindle.invalid commit -q --allow-empty -m "another project"
for copy in first:022 elsewhere/second:077; do
    folder="$work/${copy%:*}"
    (umask "${copy#*:}" && mkdir "$folder" && git ls-files -z -co --exclude-standard |
        tar -c --null -T - --ignore-failed-read | tar -x --no-same-permissions -C "$folder" &&
        cd "$folder" && cmake --workflow --preset package >/dev/null)
done
cmp "$work"/first/build/package/*.deb "$work"/elsewhere/second/build/package/*.deb ||
    fail "two builds of the package differ"
echo "ok: two builds from two copies, one under umask 077 in another repository, are the same bytes"

# Directories of the package that the machine did not have before it.
mapfile -t new_directories < <(dpkg-deb --fsys-tarfile "$package" | tar -t | sed 's|^\.||; s|/$||' |
    while read -r path; do [ -n "$path" ] && [ ! -e "$path" ] && echo "$path"; done)
dpkg -i "$package" >/dev/null
mapfile -t installed < <(dpkg -L tinkerspindle)
python3 tests/check_transcript.py /usr/games/tinkerspindle "$winning"
manual=$(MANPAGER=cat MANWIDTH=80 man 6 tinkerspindle)
grep -q "build an umbrella in a junkyard" <<<"$manual" || fail "man 6 tinkerspindle"
grep -q "tinkerspindle $version" <<<"$manual" || fail "the manual does not show $version"
zgrep -q "man 6 tinkerspindle" /usr/share/doc/tinkerspindle/README.gz || fail "no README.gz for players"
echo "ok: man 6 tinkerspindle shows the manual of version $version"
dpkg --purge tinkerspindle >/dev/null
for path in "${installed[@]}"; do
    if [ -f "$path" ] || [ -L "$path" ]; then fail "$path is left after removal"; fi
done
for path in "${new_directories[@]}"; do
    if [ -e "$path" ]; then fail "$path is left after removal"; fi
done
echo "ok: removal left nothing of the ${#installed[@]} installed paths behind"

echo "== the Windows zip"
cmake --workflow --preset windows-package >/dev/null
zip=$(ls build/windows-package/tinkerspindle-*-windows-x86_64.zip)
unzip -q "$zip" -d "$work/windows"
exe=$(find "$work/windows" -name tinkerspindle.exe)
for file in README.txt LICENSE.txt; do
    [ -f "$(dirname "$exe")/$file" ] && ! grep -qv $'\r$' "$(dirname "$exe")/$file" ||
        fail "$file is not in the zip with CRLF line ends"
done
cp "$zip" "$work/zip" && (umask 077 && TZ=America/New_York cpack --preset windows-package >/dev/null) &&
    cmp "$zip" "$work/zip" || fail "the zip made again in another time zone differs"
resources=$(wrestool --list "$exe")
for kind in 14 16 24; do  # the icon, the version, the manifest
    grep -q -- "--type=$kind " <<<"$resources" || fail "the .exe has no resource of type $kind"
done
strings -el "$exe" | grep -qx "$version" || fail "the .exe's version is not $version"
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
export WINEPREFIX="$work/wine" WINEDEBUG=-all
"$wine" wineboot --init >/dev/null 2>&1
python3 tests/check_transcript.py "$exe" "$winning" "$wine"

echo "== the page's archive"
cmake --workflow --preset web-package >/dev/null
mkdir "$work/web"
tar -xzf build/web-package/tinkerspindle-*-web.tar.gz -C "$work/web"
site=$(dirname "$(find "$work/web" -name index.html)")
cmake --install build/web-package --prefix "$work/installed" >/dev/null
diff -r "$site" "$work/installed" || fail "the archive is not what cmake --install gives"
python3 tests/check_transcript.py "$site" "$winning" node tests/web/check_web.mjs
