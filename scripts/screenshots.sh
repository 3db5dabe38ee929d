#!/usr/bin/env bash
# Makes the README's screenshots again, under a virtual X display: docs/*.png.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target ondaris_screenshots
mkdir -p docs
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" env QT_QPA_PLATFORM=xcb build/packaging/screenshots/ondaris_screenshots docs
