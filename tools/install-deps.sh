#!/usr/bin/env bash
# Installs the Debian packages that the builds and the tests need, only those that are missing.
# Runs as root (apt-get). Both Windows toolchains and wine64 everywhere; where the host runs 32-bit
# code (tools/host-code.sh) also wine32, for which it adds the i386 architecture when it is not
# there yet. Where it runs 64-bit code only, wine32 could not start: it is not installed.
set -euo pipefail
packages=(make cmake g++ libgtest-dev zlib1g-dev g++-mingw-w64-i686 g++-mingw-w64-x86-64
          libz-mingw-w64-dev wine wine64 xvfb xauth imagemagick fonts-wqy-microhei
          osslsigncode openssl python3 fonts-wine fonts-liberation2 clang libclang-rt-14-dev)
host_code="${HOST_CODE:-$(bash "$(dirname "$0")/host-code.sh")}"
[ "$host_code" = both ] && packages+=(wine32:i386)
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
if [ "$host_code" = both ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
