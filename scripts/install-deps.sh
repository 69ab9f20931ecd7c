#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing vantor need.
# Only missing packages are installed, so a second run costs a few milliseconds.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-multimedia-dev libqt6opengl6-dev libgl-dev
  qt6-qpa-plugins libqt6svg6
)
if [[ "${1:-}" == "--test" ]]; then
  packages+=(socat poppler-utils xvfb xauth clang)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
