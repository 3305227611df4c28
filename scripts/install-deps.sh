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
  # A mirror caught mid-sync fails the update for a while, often for one
  # index only (seen: the security suite's i386 packages).
  updated=false
  for attempt in 1 2 3; do
    if apt-get update -qq; then updated=true; break; fi
    echo "apt-get update failed (attempt $attempt of 3)" >&2
    if [ "$attempt" -lt 3 ]; then sleep 20; fi
  done
  options=(-y -qq --no-install-recommends)
  if ! apt-get install "${options[@]}" "${missing[@]}" >/dev/null; then
    $updated && exit 1
    # Without that index the i386 libraries would lag behind their amd64
    # twins, which multiarch forbids; the release's own versions still match.
    echo "Installing again without the security suite's newer versions" >&2
    pin=$(mktemp)
    printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: 50\n' >"$pin"
    apt-get -o Dir::Etc::Preferences="$pin" install "${options[@]}" "${missing[@]}" >/dev/null
    rm -f "$pin"
  fi
fi
