#!/usr/bin/env bash
# Builds the Debian package, installs it into this machine, plays one game
# with the installed program, reads its manual page, removes it, and checks
# that nothing of it is left. Needs root, as CI is.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --workflow --preset package >/dev/null
package=$(ls build/package/tinkerspindle_*.deb)
echo "package: $package"
dpkg-deb --field "$package" Package Version Section Depends

# Directories of the package that the machine did not have before it.
mapfile -t new_directories < <(dpkg-deb --fsys-tarfile "$package" | tar -t | sed 's|^\.||; s|/$||' |
    while read -r path; do [ -n "$path" ] && [ ! -e "$path" ] && echo "$path"; done)

dpkg -i "$package" >/dev/null
mapfile -t installed < <(dpkg -L tinkerspindle)

python3 tests/check_transcript.py /usr/games/tinkerspindle tests/transcripts/shortest_winning_game.in
manual=$(MANPAGER=cat MANWIDTH=80 man 6 tinkerspindle)
grep -q "build an umbrella in a junkyard" <<<"$manual" || { echo "FAIL: man 6 tinkerspindle"; exit 1; }
version=$(dpkg-deb --field "$package" Version)
grep -q "tinkerspindle $version" <<<"$manual" || { echo "FAIL: the manual does not show $version"; exit 1; }
echo "ok: man 6 tinkerspindle shows the manual of version $version"

dpkg --purge tinkerspindle >/dev/null
for path in "${installed[@]}"; do
    if [ -f "$path" ] || [ -L "$path" ]; then
        echo "FAIL: $path is left after removal"
        exit 1
    fi
done
for path in "${new_directories[@]}"; do
    if [ -e "$path" ]; then
        echo "FAIL: $path is left after removal"
        exit 1
    fi
done
echo "ok: removal left nothing of the ${#installed[@]} installed paths behind"
