#!/usr/bin/env bash
# Sets up what is missing, builds Ondaris and makes its Debian package in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build
(cd build && cpack -G DEB)
ls build/ondaris_*_amd64.deb
