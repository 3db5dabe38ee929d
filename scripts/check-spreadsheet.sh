#!/usr/bin/env bash
# Opens the spreadsheet exports in LibreOffice Calc, headless, under French (fr-FR) and English
# (en-US) locales, and checks that every value and date reads as what was exported: each CSV
# export as the user's locale makes it and the workbook, written by the chart test's export case
# on a scale in °C, converted to a flat spreadsheet, its cells read back: the titles with the
# unit, numbers, dates, and a viewed line's own fields, which hold a comma and a quote; the
# workbook's properties too. A CSV file is opened with the field separator and the language
# given, the workbook with LibreOffice's defaults in that locale.
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

# The titles, the cells under them ("type value"), then the properties of a converted file.
read_back() {
    python3 - "$1" <<'PYTHON'
import sys, xml.etree.ElementTree as tree
o = "{urn:oasis:names:tc:opendocument:xmlns:office:1.0}"
t = "{urn:oasis:names:tc:opendocument:xmlns:table:1.0}"
p = "{urn:oasis:names:tc:opendocument:xmlns:text:1.0}p"
m = "{urn:oasis:names:tc:opendocument:xmlns:meta:1.0}"
dc = "{http://purl.org/dc/elements/1.1/}"
document = tree.parse(sys.argv[1])
def cells(row):
    for c in row.iter(t + "table-cell"):
        if c.get(o + "value-type"):
            text = "".join("".join(e.itertext()) for e in c.iter(p))
            yield c.get(o + "value-type"), c.get(o + "value") or c.get(o + "date-value") or text
rows = document.iter(t + "table-row")
print("|".join(text for _, text in cells(next(rows))))
print("|".join(kind + " " + value for row in rows for kind, value in cells(row)))
properties = {e.get(m + "name"): e.text or "" for e in document.iter(m + "user-defined")}
for name in ("title", "description"):
    properties[name] = "".join(e.text or "" for e in document.iter(dc + name))
print(";".join(name + "=" + properties.get(name, "-")
               for name in ("title", "description", "Min", "Max", "Unité")))
PYTHON
}

titles='N°|Valeur (°C)|Valeur enregistrée|Date et heure'
cells='float 1|float 0.0125|float 0.125|date 2026-12-06T04:38:58'
cells+='|float 2|float 0.75|float 7.5|string a,b|string "c"'
cells+='|float 3|float 25|float 250|date 2026-03-14T04:39:00'
properties='title=essai.csv;description=Échelle : Min = 0 ; Max = 100 ; unité °C.'
properties+=';Min=0;Max=100;Unité=°C'
status=0
# What a file reads as in LibreOffice, against what it should.
check() {
    local name=$1 got=$2 expected=$3
    if [ "$got" = "$expected" ]; then
        echo "$name: $got"
    else
        printf '%s: the spreadsheet reads\n%s\nnot\n%s\n' "$name" "$got" "$expected" >&2
        status=1
    fi
}
# locale, field separator (its character code), Calc's language number
for sheet in "fr_FR 59 1036" "en_US 44 1033"; do
    read -r locale separator language <<<"$sheet"
    calc=(soffice "-env:UserInstallation=file://$dir/profile-$locale" --headless
          --convert-to fods --outdir "$dir/$locale")
    LC_ALL=$locale.UTF-8 "${calc[@]}" "--infilter=CSV:$separator,34,76,1,,$language" \
        "$dir/$locale.csv" >/dev/null
    LC_ALL=$locale.UTF-8 "${calc[@]}" "$dir/classeur.xlsx" >/dev/null
    check "$locale CSV" "$(read_back "$dir/$locale/$locale.fods" | sed -n 1,2p)" "$titles
$cells"
    check "$locale workbook" "$(read_back "$dir/$locale/classeur.fods")" "$titles
$cells
$properties"
done
exit $status
