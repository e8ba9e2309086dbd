#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need, when they are missing:
#   scripts/install-packages.sh            the build and the tests
#   scripts/install-packages.sh PACKAGE... those packages too (CI adds its own tools)
set -euo pipefail

wanted=(cmake g++ make libgtest-dev libcli11-dev nlohmann-json3-dev libeigen3-dev libglpk-dev graphviz
        libgraphviz-dev pkg-config chromium fonts-dejavu-core
        r-base-core r-cran-jsonlite r-cran-testthat r-cran-network
        python3-pandas python3-numpy python3-pytest python3-venv "$@")
missing=()
for pkg in "${wanted[@]}"; do
  dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
