#!/usr/bin/env bash
# Installs what building and testing the installer needs on Debian 12:
# the mingw-w64 cross compilers, Wine (32- and 64-bit), Xvfb and the tools
# the tests and the release checks use. Safe to run again.
set -eu
SUDO=
[ "$(id -u)" = 0 ] || SUDO=sudo
packages="cmake make git ca-certificates mingw-w64 g++-mingw-w64-i686-posix
  g++-mingw-w64-x86-64-posix wine wine32 wine64 xvfb xauth x11-utils xdotool
  imagemagick googletest osslsigncode openssl nsis python3 python3-pil
  fonts-dejavu-core"
missing=
for p in $packages; do
  dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  missing="$missing wine32"
fi
if [ -n "$missing" ]; then
  $SUDO apt-get update
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
fi
