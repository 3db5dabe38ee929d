#!/usr/bin/env bash
# Sets up what is missing, builds Ondaris and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target ondaris
exec build/src/ondaris "$@"
