#!/usr/bin/env bash
# Opens the spreadsheet export in LibreOffice Calc, headless, under French (fr-FR) and English
# (en-US) number rules, and checks that every value and date reads as what was exported.
# Installs Calc when it is missing (Debian 12), then runs that one test of the chart's suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
if ! command -v soffice >/dev/null; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        libreoffice-calc-nogui
fi
cmake --preset dev >/dev/null
cmake --build --preset dev --target tst_chart
QT_QPA_PLATFORM=offscreen build/tests/tst_chart readByASpreadsheet
