#!/usr/bin/env bash
# The Debian package as a user gets it: built from the release build, checked (lintian,
# desktop-file-validate, appstreamcli, man), installed with apt-get, its bar run by an ordinary
# user under Xvfb and openbox (the PackageTest end-to-end tests), then removed again.
set -euo pipefail
release=${1:?release build folder}
tests=${2:?test build folder}
user=kavo-test
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

cmake --build "$release" --target kavo_package
rm -f "$release"/kavo_*.deb
(cd "$release" && cpack -G DEB >/dev/null)
deb=$(realpath "$release"/kavo_*.deb)
echo "== package $(basename "$deb")"

lintian --fail-on error "$deb" 2>/dev/null
files=$(mktemp -d)
trap 'rm -rf "$files"' EXIT
dpkg-deb -x "$deb" "$files"
desktop-file-validate "$files"/usr/share/applications/*.desktop
# KDE Plasma grants its window list and fake input to the program its entry names by full path.
grep -qx 'Exec=/usr/bin/kavo' "$files"/usr/share/applications/org.kavo.kavo.desktop || {
  echo "the desktop entry does not name the installed program by its path" >&2
  exit 1
}
appstreamcli validate --no-net "$files"/usr/share/metainfo/*.metainfo.xml
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$files"/usr/share/man/man1/kavo.1.gz 2>&1 >/dev/null)
if [ -n "$warnings" ]; then
  echo "man page warnings: $warnings" >&2
  exit 1
fi

id "$user" >/dev/null 2>&1 || $sudo useradd --create-home --shell /usr/sbin/nologin "$user"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
trap 'rm -rf "$files"; $sudo apt-get purge -y -qq kavo >/dev/null' EXIT
$sudo env ASAN_OPTIONS=detect_leaks=0 KAVO_INSTALLED=/usr/bin/kavo KAVO_TEST_USER="$user" \
  "$tests"/tests/e2e/kavo_e2e_tests --gtest_filter='PackageTest.*' --gtest_brief=1
$sudo apt-get purge -y -qq kavo >/dev/null
trap 'rm -rf "$files"' EXIT
if [ -e /usr/bin/kavo ] || [ -e /usr/share/kavo ]; then
  echo "the package left files behind" >&2
  exit 1
fi
echo "== package installed, run by $user and removed cleanly"
