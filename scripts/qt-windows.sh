#!/usr/bin/env bash
# Qt for Windows, built once per machine from Debian's own source package (the version of the
# machine's Qt, whose moc, rcc and uic serve the cross build) with Debian's mingw-w64, into a
# cache outside the source tree. Prints the install prefix on its last line.
#
# The cache is keyed by the source version, the compiler's version and a hash of what the build
# is made of (cmake/qt-windows: the configure options, the toolchain file, the patches and the
# tablet headers' shim), so any change to them builds anew. A build is made in a folder beside the cache and renamed into place only when complete:
# a missing or broken cache is rebuilt, never half-used. About half an hour on two idle cores.
#
# KAVO_QT_WINDOWS_CACHE: the folder of the caches (default $XDG_CACHE_HOME/kavo, that is
# ~/.cache/kavo; /var/cache/kavo without a home).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
config="$here/cmake/qt-windows"

version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
compiler=$(x86_64-w64-mingw32-g++-posix -dumpfullversion)
inputs=$(cat "$config/configure-options.txt" "$config/toolchain.cmake" "$config"/patches/*.patch \
  "$config"/wintab/* | sha256sum)
key="${version//[^A-Za-z0-9.+-]/_}-gcc$compiler-${inputs:0:12}"
if [ -n "${KAVO_QT_WINDOWS_CACHE:-}" ]; then
  cache_root="$KAVO_QT_WINDOWS_CACHE"
elif [ -n "${XDG_CACHE_HOME:-}" ] || [ -n "${HOME:-}" ]; then
  cache_root="${XDG_CACHE_HOME:-$HOME/.cache}/kavo"
else
  cache_root=/var/cache/kavo
fi
prefix="$cache_root/qt6-windows-$key"

if [ -f "$prefix/.complete" ] && [ -f "$prefix/lib/cmake/Qt6/Qt6Config.cmake" ]; then
  echo "$prefix"
  exit 0
fi

echo "Building Qt $version for Windows into $prefix (once per machine; about half an hour)" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# The source package comes from the archive the machine's packages come from: a deb-src twin of
# each deb source, written once.
sources=/etc/apt/sources.list.d/kavo-deb-src.sources
if ! apt-get source --print-uris "qt6-base=$version" >/dev/null 2>&1; then
  sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
    $sudo tee "$sources" >/dev/null
  $sudo apt-get update -qq
fi

work="$cache_root/qt6-windows-$key.work"
log="$cache_root/qt6-windows-$key.log"
rm -rf "$work"
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
# The build's own output goes to the log; its end is shown when a step fails.
step() {
  "$@" >>"$log" 2>&1 || {
    tail -n 40 "$log" >&2
    echo "Qt for Windows: '$*' failed; the whole log is $log" >&2
    exit 1
  }
}
: >"$log"
(cd "$work" && step apt-get source -qq "qt6-base=$version")
src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*')

# Debian's source drops the tablet headers (their licence); Wine's LGPL ones stand in.
mkdir -p "$src/src/3rdparty/wintab"
cp "$config"/wintab/*.h "$src/src/3rdparty/wintab/"
for patch in "$config"/patches/*.patch; do
  patch -d "$src" -p1 --forward --quiet <"$patch"
done

# Core, Gui, Widgets and the windows platform plugin with the styles: the options leave out
# everything the bar does not use and take the bundled copies of the small libraries.
mapfile -t options <"$config/configure-options.txt"
step cmake -S "$src" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$config/toolchain.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$work/install" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  "${options[@]}"
step cmake --build "$work/build" -j "$(nproc)"
step cmake --install "$work/build"

touch "$work/install/.complete"
rm -rf "$prefix"
mv "$work/install" "$prefix"
echo "$prefix"
