#!/usr/bin/env bash
# Smoke run of the real 32-bit programs: the 32-bit runner and hook library, packed with
# the 64-bit stand-in projector (a 32-bit projector starts slower under emulation than
# the runner's window search allows), shown under 32-bit Wine through qemu-i386 user
# emulation. For each start it checks the runner window with the projector inside, the
# control block, the close and the clean-up, and prints how long the start took.
# Minutes per start; not part of the test suite.
#   scripts/smoke-win32.sh [STARTS]      (default 2; needs root to install what is missing)
# What it sets up once, saying so: qemu-user-static, binfmt_misc with a qemu-i386 entry,
# the i386 architecture with wine32:i386, the 32-bit build, and a Wine prefix of its own
# (build/wineprefix-win32) whose 32-bit half is filled once (about 3.5 minutes).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
starts=${1:-2}
say() { echo "smoke-win32: $*"; }
# 32-bit Wine under qemu dies in a UTF-8 locale ("failed to map the shared user data").
export LANG=C LC_ALL=C
export WINEPREFIX=$root/build/wineprefix-win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
wine64=/usr/lib/wine/wine64

# --- 32-bit execution: qemu-i386 through binfmt_misc -------------------------------
if [ ! -x /usr/bin/qemu-i386-static ]; then
  say "installing qemu-user-static (qemu-i386 user emulation)"
  apt-get install -y --no-install-recommends qemu-user-static
fi
if [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
  say "mounting binfmt_misc"
  mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
fi
if [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
  say "registering qemu-i386 for 32-bit x86 programs with binfmt_misc"
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
    > /proc/sys/fs/binfmt_misc/register
fi

# --- 32-bit Wine ------------------------------------------------------------------
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  say "adding the i386 architecture to dpkg and updating the package lists"
  dpkg --add-architecture i386
  apt-get update
fi
if ! dpkg -s wine32:i386 >/dev/null 2>&1; then
  say "installing wine32:i386 (a few minutes; some amd64 libraries are upgraded with it)"
  if ! apt-get install -y --no-install-recommends wine32:i386; then
    say "apt-get could not install wine32:i386. When Debian's i386 security index is out of step"
    say "with the amd64 one, install both copies of each library it names at the version"
    say "'apt-cache policy NAME:i386' offers (apt-get install NAME:amd64=V NAME:i386=V), then rerun."
    exit 1
  fi
fi
[ -x /usr/lib/wine/wine ] || { say "no 32-bit Wine loader /usr/lib/wine/wine"; exit 1; }

# --- programs: the 32-bit runner and hook library, the 64-bit stand-in and checker --
say "building the 32-bit runner and hook library, the 64-bit stand-in and smoke checker, quindle-pack"
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build/win32 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-win32.cmake \
      "${launcher[@]}" >/dev/null
nice -n 10 cmake --build build/win32 -j2 --target runner hookdll >/dev/null
cmake -S . -B build/win64 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-win64.cmake \
      -DQUINDLE_WINE_TESTS=ON "${launcher[@]}" >/dev/null
nice -n 10 cmake --build build/win64 -j2 --target standin smoke_check >/dev/null
cmake -S . -B build/host -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      "${launcher[@]}" >/dev/null
nice -n 10 cmake --build build/host -j2 --target quindle-pack >/dev/null

# --- a display and a wineserver of its own ------------------------------------------
display=""
for n in $(seq 140 180); do
  if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then display=:$n; break; fi
done
[ -n "$display" ] || { say "no free X display"; exit 1; }
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
work=$(mktemp -d /tmp/quindle-smoke.XXXXXX)
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" >/dev/null 2>&1 || true
  wait "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 1 50); do [ -e /tmp/.X11-unix/X${display#:} ] && break; sleep 0.1; done

# --- the prefix: its 32-bit half is filled once ---------------------------------------
mkdir -p "$WINEPREFIX"
if [ ! -e "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
  say "filling the 32-bit half of $WINEPREFIX (about 3.5 minutes, once)"
  WINEBOOTSTRAPMODE=1 "$wine64" wineboot -u >/dev/null 2>&1 || true
  wineserver -w || true
  [ -e "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ] || { say "syswow64 is still empty"; exit 1; }
fi
wineserver -p
"$wine64" reg query "HKCU\\Software" >/dev/null 2>&1 || true

# --- pack and run ---------------------------------------------------------------------
printf '[Settings]\r\nPassword=0\r\nCurrentDir=1\r\nZantic Screen Name=Smoke 32\r\n' > "$work/smoke.ini"
cp build/win64/bin/standin.exe build/win32/bin/zanticrun.dll "$work/"
build/host/bin/quindle-pack pack --stub build/win32/bin/runner.exe --out "$work/Smoke32.exe" \
  "$work/standin.exe" "$work/zanticrun.dll" "$work/smoke.ini" >/dev/null
say "packed $(stat -c %s "$work/Smoke32.exe") bytes; $starts start(s) of the 32-bit runner follow"
"$wine64" build/win64/bin/smoke_check.exe "Z:${work//\//\\}\\Smoke32.exe" "$starts"
