#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
# Usage: install-deps.sh [group...]   groups: base (default), utility, windows, qt-source, installer,
#                                      fuzz
set -euo pipefail

groups=("$@")
[ ${#groups[@]} -eq 0 ] && groups=(base)

packages=()
for g in "${groups[@]}"; do
  case "$g" in
    base) packages+=(cmake ninja-build g++ make libgtest-dev libgmock-dev libbenchmark-dev) ;;
    utility) packages+=(qt6-base-dev qt6-qpa-plugins fonts-dejavu-core xvfb xauth) ;;
    # fonts-wine: the fonts a Windows program asks for by name (the dialog font among them).
    windows) packages+=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64 wine fonts-wine xvfb) ;;
    # apt-get source and its unpacking (scripts/build-qt-mingw.sh).
    qt-source) packages+=(dpkg-dev xz-utils) ;;
    installer) packages+=(nsis) ;;
    fuzz) packages+=(clang-14 libclang-rt-14-dev) ;;
    *) echo "install-deps.sh: unknown group $g" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
