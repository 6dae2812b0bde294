#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need, when one is missing.
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
          qt6-base-dev libjpeg62-turbo-dev libtiff-dev
          libgtest-dev googletest libbenchmark-dev qpdf poppler-utils xdg-utils
          libjpeg-turbo-progs imagemagick
          fonts-noto-cjk libqt6svg6 qt6-qpa-plugins qt6-translations-l10n)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "== Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" > /dev/null
fi
