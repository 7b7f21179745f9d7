#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the bar need. Idempotent: when every
# package is already there it only asks dpkg and returns.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-qpa-plugins libx11-dev libxtst-dev libxext-dev libxi-dev libxfixes-dev libxdo-dev
  xvfb xauth xserver-common xfonts-base x11-xkb-utils x11-xserver-utils openbox xcompmgr xdotool wmctrl
  x11-utils imagemagick
  qt6-wayland libwayland-dev libxkbcommon-dev sway grim weston nlohmann-json3-dev
  kwin-wayland plasma-wayland-protocols qt6-base-private-dev dbus-daemon
  fonts-noto-cjk xvkbd qt6-translations-l10n
  clang libclang-rt-dev
  clang-format lintian desktop-file-utils appstream man-db
  g++-mingw-w64-x86-64-posix wine wine64 locales
  dpkg-dev libwine-dev nsis fonts-wine
)

# Locales the Windows tests run Wine in (Wine takes its code page from them).
locales=(en_US ja_JP)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

for l in "${locales[@]}"; do
  locale -a 2>/dev/null | grep -qix "$l.utf8" || $sudo localedef -i "$l" -f UTF-8 "$l.UTF-8"
done
