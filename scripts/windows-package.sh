#!/usr/bin/env bash
# The Windows bar as a user gets it, from a Windows build folder: a portable zip (the folder
# Kavo\ with kavo.exe and what it loads) and a per-user installer made with NSIS, both in the
# build folder. Configures and builds a release build in build/windows-release when no folder is
# given.
#
#   windows-package.sh [BUILD_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."

build="${1:-}"
if [ -z "$build" ]; then
  build=build/windows-release
  scripts/windows-configure.sh "$build" Release >/dev/null
fi
cmake --build "$build" --target kavo_portable

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
zip="$PWD/$build/Kavo-$version-windows-x64.zip"
setup="$PWD/$build/Kavo-$version-setup.exe"
rm -f "$zip" "$setup"
(cd "$build/portable" && cmake -E tar cf "$zip" --format=zip Kavo)
makensis -V2 -DPORTABLE="$PWD/$build/portable/Kavo" -DOUTFILE="$setup" -DVERSION="$version" \
  app/windows/kavo.nsi
echo "$zip"
echo "$setup"
