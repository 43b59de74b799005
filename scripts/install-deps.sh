#!/usr/bin/env bash
# Installs what the builds and tests need on a fresh Debian 12 machine; quick when all is there.
set -euo pipefail
packages=(
  cmake make g++ clang libclang-rt-14-dev libgtest-dev googletest zlib1g-dev python3
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-i686-dev mingw-w64-x86-64-dev
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 libz-mingw-w64-dev
  wine wine64 xvfb xauth x11-utils imagemagick xdotool
  libxcomposite1 libxrender1 libxrandr2 libxi6 libxcursor1 fonts-dejavu-core fonts-wine
  openssl osslsigncode xserver-xorg-core xserver-xorg-video-dummy
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
