#!/usr/bin/env bash
# Cross-builds the core, the Win32 layer and their tests for Windows and runs them under Wine:
# once in an English locale (code page 1252) and once in a Japanese one (code page 932). Wine
# gets a prefix of its own in the build folder and a display of its own, and nothing of it is
# left running afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/windows
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DKAVO_BUILD_GUI=OFF -DCMAKE_BUILD_TYPE=Debug -DKAVO_WERROR="${KAVO_WERROR:-OFF}" >/dev/null
cmake --build "$build"

export KAVO_WINEPREFIX="$PWD/$build/wine-prefix"
export WINEPREFIX="$KAVO_WINEPREFIX" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

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
exit "$status"
