#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need (run as root).
set -euo pipefail
packages=(
  build-essential cmake pkg-config
  libgtest-dev
  libcurl4-openssl-dev libexpat1-dev zlib1g-dev libssl-dev
  python3 openssl
  libxml2-utils sblim-wbemcli
  groff-base man-db dpkg-dev
  clang libclang-rt-14-dev
  valgrind
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
