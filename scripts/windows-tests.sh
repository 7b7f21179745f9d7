#!/usr/bin/env bash
# Cross-builds the Windows bar (against Qt for Windows built from Debian's source, see
# qt-windows.sh), the core, the Win32 layer and their tests, and runs them under Wine: the tests
# once in an English locale (code page 1252) and once in a Japanese one (code page 932), then
# the bar itself end to end, driven from outside (tests/wine). Wine gets a prefix of its own in
# the build folder and a display of its own, and nothing of it is left running afterwards.
#
#   windows-tests.sh [NATIVE_TEST_BUILD]   (default build/test, for the end-to-end driver)
set -euo pipefail
cd "$(dirname "$0")/.."
native="${1:-build/test}"

build=build/windows
qt=$(scripts/windows-configure.sh "$build" Debug -DKAVO_WERROR="${KAVO_WERROR:-OFF}" | tail -n 1)
cmake --build "$build"
# The zip and the installer, as a user gets them; the installer is tested below.
setup=$(scripts/windows-package.sh "$build" | tail -n 1)

export KAVO_WINEPREFIX="$PWD/$build/wine-prefix"
export WINEPREFIX="$KAVO_WINEPREFIX" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The test programs find Qt's libraries and the C++ runtime where they are.
dos() { echo "Z:${1//\//\\}"; }
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
export WINEPATH="$(dos "$qt/bin");$(dos "$runtime");$(dos /usr/x86_64-w64-mingw32/lib)"

# Wine's windows need an X display: a virtual one of our own.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb" >/dev/null 2>&1 || true
  rm -f "$display_file"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$display_file")"

[ -d "$WINEPREFIX/drive_c" ] || wineboot -i >/dev/null 2>&1
wineserver -w

status=0
for locale in en_US.UTF-8 ja_JP.UTF-8; do
  echo "== Windows tests under Wine, $locale"
  (cd "$build" && LANG="$locale" LC_ALL="$locale" ctest --output-on-failure) || status=1
done

# The bar end to end: the driver starts a desktop of its own.
wineserver -k >/dev/null 2>&1 || true
unset DISPLAY WINEPATH
echo "== The Windows bar under Wine, end to end"
KAVO_WINDOWS_PORTABLE="$PWD/$build/portable/Kavo" KAVO_WINDOWS_SETUP="$setup" \
  KAVO_WINDOWS_TARGET="$PWD/$build/tests/windows/kavo_key_target_win32.exe" \
  ASAN_OPTIONS=detect_leaks=0 "$native/tests/wine/kavo_wine_e2e_tests" || status=1
exit "$status"
