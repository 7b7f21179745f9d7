#!/usr/bin/env bash
# Configures a Windows build folder against Qt for Windows (built first where the machine has no
# copy yet, see qt-windows.sh).
#
#   windows-configure.sh BUILD_FOLDER BUILD_TYPE [CMAKE_OPTION ...]
set -euo pipefail
cd "$(dirname "$0")/.."
build="$1" type="$2"
shift 2
qt=$(scripts/qt-windows.sh | tail -n 1)
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/qt-windows/toolchain.cmake \
  -DKAVO_QT_WINDOWS="$qt" -DCMAKE_PREFIX_PATH="$qt" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
echo "$qt"
