#!/usr/bin/env bash
# Opens the spreadsheet export in LibreOffice Calc, headless, under French (fr-FR) and English
# (en-US) number rules, and checks that every value and date reads as what was exported: each
# export as the user's locale makes it (written by the chart test's export case), converted to a
# flat spreadsheet with the field separator and the language given, its cells read back: numbers,
# dates, and a viewed line's own fields, which hold a comma and a quote.
# Installs Calc when it is missing (Debian 12).
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
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
ONDARIS_EXPORT_DIR=$dir QT_QPA_PLATFORM=offscreen build/tests/tst_chart exportLines >/dev/null
expected='float 1|float 0.125|date 2026-12-06T04:38:58|float 2|float 7.5|string a,b|string "c"'
status=0
# locale, field separator (its character code), Calc's language number
for sheet in "fr_FR 59 1036" "en_US 44 1033"; do
    read -r locale separator language <<<"$sheet"
    soffice "-env:UserInstallation=file://$dir/profile" --headless \
        "--infilter=CSV:$separator,34,76,1,,$language" --convert-to fods \
        --outdir "$dir/$locale" "$dir/$locale.csv" >/dev/null
    cells=$(python3 - "$dir/$locale/$locale.fods" <<'EOF'
import sys, xml.etree.ElementTree as tree
o = "{urn:oasis:names:tc:opendocument:xmlns:office:1.0}"
t = "{urn:oasis:names:tc:opendocument:xmlns:table:1.0}"
p = "{urn:oasis:names:tc:opendocument:xmlns:text:1.0}p"
rows = tree.parse(sys.argv[1]).iter(t + "table-row")
next(rows)  # the header
print("|".join(
    c.get(o + "value-type") + " " + (c.get(o + "value") or c.get(o + "date-value") or "".join(e.text or "" for e in c.iter(p)))
    for row in rows for c in row.iter(t + "table-cell") if c.get(o + "value-type")))
EOF
)
    if [ "$cells" = "$expected" ]; then
        echo "$locale: the spreadsheet reads $cells"
    else
        echo "$locale: the spreadsheet reads $cells, not $expected" >&2
        status=1
    fi
done
exit $status
