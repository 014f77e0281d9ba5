#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package, unpacks it into a scratch root and checks that it holds, under /usr,
# every file that an installation puts in its prefix (programs, desktop entry, icon, and INDI
# drivers with their description when the build has them), with sound package fields.
# Usage: check_package.sh CMAKE_COMMAND CPACK_COMMAND BUILD_DIR
set -u
cmake_command="$1"
cpack_command="$2"
build_dir="$3"

scratch="$(mktemp -d "${TMPDIR:-/tmp}/selvane-package.XXXXXX")" || exit 1
trap 'rm -rf "$scratch"' EXIT INT TERM
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

"$cmake_command" --install "$build_dir" --prefix "$scratch/prefix" >/dev/null || { echo "FAIL: cmake --install failed" >&2; exit 1; }
(cd "$scratch/prefix" && find . ! -type d | sed 's|^\./||' | sort) >"$scratch/installed"

if ! "$cpack_command" -G DEB --config "$build_dir/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log" >&2
  echo "FAIL: cpack -G DEB failed" >&2
  exit 1
fi
set -- "$scratch"/out/selvane_*.deb
[ -f "$1" ] || { echo "FAIL: no selvane_*.deb made; cpack said:" >&2; cat "$scratch/cpack.log" >&2; exit 1; }
package="$1"

field() { dpkg-deb -f "$package" "$1"; }
[ "$(field Package)" = selvane ] || fail "Package is '$(field Package)'"
[ "$(field Section)" = science ] || fail "Section is '$(field Section)'"
case "$(field Maintainer)" in *@*) ;; *) fail "Maintainer '$(field Maintainer)' has no address" ;; esac
[ -n "$(field Description)" ] || fail "no Description"
depends="$(field Depends)"
for library in libqt6widgets6 libqt6serialport6 libc6; do
  case "$depends" in *"$library"*) ;; *) fail "Depends lacks $library: '$depends'" ;; esac
done

dpkg -x "$package" "$scratch/root" || { echo "FAIL: dpkg -x failed" >&2; exit 1; }
while read -r file; do
  [ -e "$scratch/root/usr/$file" ] || [ -L "$scratch/root/usr/$file" ] || fail "the package lacks /usr/$file"
done <"$scratch/installed"

# Where a desktop looks.
[ -x "$scratch/root/usr/bin/selvane" ] || fail "no executable /usr/bin/selvane"
[ -s "$scratch/root/usr/share/applications/org.example.selvane.desktop" ] || fail "no /usr/share/applications/org.example.selvane.desktop"
[ -s "$scratch/root/usr/share/icons/hicolor/scalable/apps/selvane.svg" ] || fail "no icon in /usr/share/icons/hicolor/scalable/apps"
[ -s "$scratch/root/usr/share/selvane/liste-exemple.txt" ] || fail "no sample observing list in /usr/share/selvane"
# Where indiserver looks, once the build has a driver: the driver on the PATH, its description in /usr/share/indi.
if grep -q '^bin/indi_' "$scratch/installed"; then
  for driver in $(grep '^bin/indi_' "$scratch/installed"); do
    name="${driver#bin/}"
    grep -qs "$name" "$scratch"/root/usr/share/indi/*.xml || fail "no /usr/share/indi/*.xml names the driver $name"
  done
fi

# The packaged program runs from its place, without a display.
version="$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$scratch/root/usr/bin/selvane" --version 2>&1)"
case "$version" in *2.2*) ;; *) fail "the packaged selvane --version printed '$version'" ;; esac

[ "$failures" -eq 0 ] || exit 1
echo "package $(basename "$package") checked: $(wc -l <"$scratch/installed") files under /usr; Depends: $depends"
