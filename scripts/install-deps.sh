#!/usr/bin/env bash
# Installs with apt-get whatever kelto's build, tests and demo need and this
# machine lacks. Pass extra package names to install them too.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config libxcb1-dev libwayland-dev libgtest-dev xvfb xclip
          sway wl-clipboard "$@")
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
