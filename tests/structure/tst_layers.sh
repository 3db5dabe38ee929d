#!/usr/bin/env bash
# The includes between the folders of src/ run one way, from the windows down to the logic, and
# the logic library (the sources of ondaris_logic) includes nothing that draws.
set -euo pipefail
src=${1:?usage: tst_layers.sh SRC_DIR}
declare -A rank=([common]=0 [acquisition]=1 [recording]=2 [settings]=3 [chart]=3 [viewer]=3
                 [ui]=4 [about]=5 [app]=6)
status=0
while IFS=: read -r file _ line; do
    from=${file#"$src"/}; from=${from%%/*}
    to=$(sed -n 's|.*#include "\([a-z]*\)/.*|\1|p' <<<"$line")
    [ -n "$to" ] && [ "$to" != "$from" ] || continue
    if [ -z "${rank[$to]:-}" ] || [ -z "${rank[$from]:-}" ] || [ "${rank[$to]}" -ge "${rank[$from]}" ]; then
        echo "FAIL: $file reaches up into $to/: $line"
        status=1
    fi
done < <(grep -rn '#include "[a-z]*/' "$src" --include='*.h' --include='*.cpp')

logic=$(sed -n '/qt_add_library(ondaris_logic/,/^)/p' "$src/CMakeLists.txt" | grep -o '[a-z]*/[a-z]*\.\(h\|cpp\)')
for f in $logic; do
    if grep -n '#include <Q\(Widget\|Painter\|Application\|Gui\|Image\|Color\|Font\)' "$src/$f"; then
        echo "FAIL: $f is in the logic library but draws"
        status=1
    fi
done
[ -n "$logic" ] || { echo "FAIL: no logic library in $src/CMakeLists.txt"; status=1; }
[ "$status" -eq 0 ] && echo "PASS: $(wc -w <<<"$logic") logic files, includes one way"
exit $status
