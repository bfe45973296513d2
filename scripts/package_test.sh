#!/usr/bin/env bash
# Builds the Debian package, checks it with the validators, installs it, compares the
# installed kovo-report with the build tree's, and removes it again leaving nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

cmake --preset default
cmake --build --preset default --target package
version=$(sed -n 's/^project(KOVO VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb="build/default/kovo_${version}_amd64.deb"
[ -f "$deb" ] || { echo "package: $deb was not made"; exit 1; }

echo "== validators"
desktop-file-validate data/desktop/com.velkarn.KOVO.desktop
appstreamcli validate --no-net data/desktop/com.velkarn.KOVO.metainfo.xml
# Errors fail the check; the remaining tags are listed in the README.
lintian --fail-on error "$deb"

echo "== install"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "./$deb"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The second pair needs the Pluto files: the installed program must find them in share/kovo.
for second in Jupiter Pluto; do
  args=(transits --first Mars --second "$second" --from 2026-01-01 --to 2026-12-31 --tz GMT)
  (cd "$work" && /usr/bin/kovo-report "${args[@]}" > installed.txt 2> errors.txt)
  build/default/bin/kovo-report "${args[@]}" > "$work/build_tree.txt"
  cmp "$work/installed.txt" "$work/build_tree.txt"
  [ ! -s "$work/errors.txt" ] || { cat "$work/errors.txt"; exit 1; }
  echo "installed kovo-report prints the build tree's Mars-$second report ($(wc -l < "$work/installed.txt") lines)"
done
for program in kovo-report kovo-djia; do /usr/bin/$program --version; done
QT_QPA_PLATFORM=offscreen /usr/bin/kovo --version

echo "== remove"
DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y kovo
if [ -e /usr/share/kovo ] || [ -e /usr/bin/kovo ]; then
  echo "package: files left after removal"; exit 1
fi
echo "package: built, validated, installed, compared and removed"
