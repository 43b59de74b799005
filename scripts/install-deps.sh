#!/usr/bin/env bash
# Installs what the builds and tests need on a fresh Debian 12 machine; quick when all is there.
set -euo pipefail
packages=(
  cmake make g++ clang libclang-rt-14-dev libgtest-dev googletest zlib1g-dev libdeflate-dev python3 dpkg-dev
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

# libdeflate for the Windows programs, linked statically: built from Debian's own source
# package, fetched from the suites this machine installs from through a source list of
# our own (the system's lists stay as they are). Sources and builds stay under build/deps,
# so a second run only finds them there.
root=$(cd "$(dirname "$0")/.." && pwd)
deps=$root/build/deps
# The same Debian version as the native build's libdeflate-dev.
libdeflate_debian=$(dpkg-query -W -f='${Version}' libdeflate-dev)
libdeflate_version=${libdeflate_debian%-*}
build_libdeflate() {
  local triple=$1 out=$deps/libdeflate-$1
  [ -f "$out/lib/libdeflate.a" ] && [ -f "$out/include/libdeflate.h" ] && return 0
  local src=$deps/src/libdeflate-$libdeflate_version
  if [ ! -d "$src" ]; then
    local apt=$deps/apt
    mkdir -p "$apt/sources" "$apt/lists/partial" "$deps/src"
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$apt/sources/debian-src.sources"
    local options=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt/sources"
                   -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o APT::Sandbox::User="$(id -un)")
    apt-get "${options[@]}" update -qq
    (cd "$deps/src" && apt-get "${options[@]}" source --download-only "libdeflate=$libdeflate_debian" -qq)
    # Unpacked with Debian's patches applied, as Debian builds it.
    dpkg-source --no-check -x "$deps/src/libdeflate_$libdeflate_debian.dsc" "$src" >/dev/null
  fi
  rm -rf "$out.build"
  cp -r "$src" "$out.build"
  echo "building libdeflate $libdeflate_version for $triple"
  make -s -C "$out.build" CC="$triple-gcc" AR="$triple-ar" libdeflatestatic.lib >/dev/null
  mkdir -p "$out/lib" "$out/include"
  cp "$out.build/libdeflatestatic.lib" "$out/lib/libdeflate.a"
  cp "$out.build/libdeflate.h" "$out/include/"
  cp "$out.build/COPYING" "$out/"
  rm -rf "$out.build"
}
build_libdeflate i686-w64-mingw32
build_libdeflate x86_64-w64-mingw32
