#!/usr/bin/env bash
# Installs the Debian 12 packages Harvexa builds, runs and tests with.
set -euo pipefail

packages=(
    build-essential cmake ninja-build qt6-base-dev
    libcurl4-openssl-dev libpugixml-dev libsqlite3-dev
    libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev
    clang libclang-rt-14-dev tinyproxy
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if ((${#missing[@]} == 0)); then
    exit 0
fi

sudo=""
if [[ $(id -u) -ne 0 ]]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
