#!/usr/bin/env bash
# Installs the Debian packages the project needs, and only those that are missing.
# Safe to run repeatedly; does nothing when everything is present.
set -euo pipefail

packages=(
  build-essential
  cmake
  make
  googletest
  libgtest-dev
  libgmock-dev
  libbenchmark-dev
  libcli11-dev
  libtoml11-dev
  libboost-dev
  libeigen3-dev
  libnlopt-cxx-dev  # the fit's bounded derivative-free optimiser (BOBYQA)
  libnetcdf-c++4-dev
  libhdf5-dev  # the results file's chunks read directly, decompressed on every core
  zlib1g-dev
  parallel
  slurm-wlm
  munge
  clang-format
  qt6-base-dev
  qt6-charts-dev
  libqt6opengl6-dev  # Qt Charts' CMake package needs Qt OpenGL's
  qt6-svg-dev
  libgl-dev
  xvfb
  xauth
  xdotool
  python3-xarray  # the results file opened as its users would, in the tests
  python3-netcdf4  # xarray's reader of the results files
  python3-cftime
  cdo
  nco
  netcdf-bin  # ncdump, to look into a results file
  python3-dev  # the Python module, for Debian's /usr/bin/python3
  python3-pybind11
  pybind11-dev
  python3-numpy
  python3-pytest
  python3-emcee
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=""
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo_cmd apt-get update -qq
$sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
