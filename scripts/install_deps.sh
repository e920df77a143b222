#!/usr/bin/env bash
# Installs the Debian packages a build needs, only those that are missing.
# Usage: install_deps.sh [run|test]   (run: enough to build and run the CLI)
set -euo pipefail

packages=(cmake ninja-build g++ libgtest-dev googletest nlohmann-json3-dev libboost1.81-dev)
if [ "${1:-run}" = test ]; then
  packages+=(clang libclang-rt-14-dev libbenchmark-dev valgrind time python3
             g++-mingw-w64-x86-64-posix wine64 fonts-wine xvfb xdotool imagemagick chromium
             dpkg-dev file man-db zip unzip python3-jsonschema apache2-utils podman runc debootstrap curl)
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ "${#missing[@]}" -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq "${missing[@]}" > /dev/null
