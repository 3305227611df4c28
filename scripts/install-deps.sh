#!/usr/bin/env bash
# Installs, with apt-get, whatever the builds and tests need and this machine
# lacks; with the argument `program`, only what the hosted program needs
# (windres compiles its resources, with the mingw compiler as its
# preprocessor for the Windows headers; ncurses draws its window).
set -euo pipefail

if [ "${1:-}" = program ]; then
  packages=(cmake ninja-build g++ gcc-mingw-w64-x86-64-posix libncurses-dev)
else
  packages=(
    cmake ninja-build g++ make python3
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    gcc-mingw-w64-i686-win32 g++-mingw-w64-i686-win32
    gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix
    wine64 wine32:i386 xvfb xauth
    clang libclang-rt-dev
    libncurses-dev tmux
  )
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # Wine starts the 32-bit product with wine32's loader, from the i386 packages.
  if [[ " ${missing[*]} " == *:i386* ]]; then
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  fi
  # A mirror caught mid-sync fails the update for a minute or two; the
  # install may still find everything in the indexes that did arrive.
  for attempt in 1 2 3 4 5; do
    apt-get update -qq && break
    echo "apt-get update failed (attempt $attempt of 5)" >&2
    [ "$attempt" -lt 5 ] && sleep 30
  done
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
