#!/usr/bin/env bash
# Installs the Debian packages that the builds and the tests need, only those that are missing.
# Runs as root (apt-get); adds the i386 architecture for wine32 when it is not there yet.
set -euo pipefail
packages=(make cmake g++ libgtest-dev zlib1g-dev g++-mingw-w64-i686 libz-mingw-w64-dev
          wine wine32:i386 xvfb xauth imagemagick fonts-wqy-microhei
          osslsigncode openssl python3 fonts-wine fonts-liberation2 clang libclang-rt-14-dev)
# "bench" adds what make bench needs beside the builds: the peer installer's compiler.
for group in "$@"; do
  case "$group" in
    bench) packages+=(nsis) ;;
    *) echo "install-deps.sh: unknown group $group" >&2; exit 2 ;;
  esac
done
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
