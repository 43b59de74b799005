#!/usr/bin/env bash
# Runs the full-disk test of the Windows tests with its temporary folder on a small
# tmpfs mounted for this run only. Mounting needs root: as anyone else the test is
# skipped (exit code 77, which CTest shows as skipped). The file system is unmounted
# on every way out; one left by a run that was killed is unmounted at the next start.
#   tests/wine/full_disk.sh WINE_TESTS_EXE     (inside scripts/with-wine.sh, as CTest runs it)
set -euo pipefail
exe=$1
label=quindle-small-disk

if [ "$(id -u)" != 0 ]; then
  echo "full disk test skipped: mounting a small tmpfs needs root"
  exit 77
fi
# Leftovers of runs that were killed before they could unmount.
awk -v l="$label" '$1 == l { print $2 }' /proc/mounts | while read -r stale; do
  umount "$stale" 2>/dev/null || umount -l "$stale" || true
  rmdir "$stale" 2>/dev/null || true
done

mnt=$(mktemp -d /tmp/$label.XXXXXX)
cleanup() {
  umount "$mnt" 2>/dev/null || umount -l "$mnt" 2>/dev/null || true
  rmdir "$mnt" 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
mount -t tmpfs -o size=4m,mode=0777 "$label" "$mnt"
echo "full disk test: a 4 MiB tmpfs on $mnt"
# Wine's drive Z: is the Linux root.
export QUINDLE_SMALL_DISK="Z:${mnt//\//\\}\\"
"$(dirname "$0")/../../scripts/wine-run.sh" "$exe" --gtest_filter='FullDisk.*'
