#!/usr/bin/env bash
# Installs the Debian packages Tavro needs to build, test, run and package;
# does nothing when every one of them is already present.
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config qt6-base-dev libpcre2-dev
          libhunspell-dev hunspell-en-us libgtest-dev libgmock-dev libbenchmark-dev
          fonts-dejavu-core xvfb xauth xdotool clang libclang-rt-dev
          desktop-file-utils appstream file
          # Fonts many desktops have, so the tests prove they pass whatever fonts are installed.
          fonts-noto-mono fonts-urw-base35)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
