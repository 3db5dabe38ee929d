#!/usr/bin/env bash
# The includes between the folders of src/ run one way, from the windows down to the logic; what
# draws is under a widgets/ folder and in the widget library, and nothing else is.
set -euo pipefail
src=${1:?usage: tst_layers.sh SRC_DIR}
declare -A rank=([common]=0 [acquisition]=1 [recording]=2 [settings]=3 [chart]=3 [viewer]=3
                 [about]=5 [app]=6)
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

library() { sed -n "/qt_add_library($1/,/^)/p" "$src/CMakeLists.txt" | grep -o '[a-z/]*\.\(h\|cpp\)'; }
logic=$(library ondaris_logic)
for f in $(cd "$src" && find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||'); do
    draws=$(grep -l '#include <Q\(Widget\|Painter\|Application\|Gui\|Image\|Color\|Font\|Polygon\)' "$src/$f" || true)
    case $f in
    */widgets/*) grep -qx "$f" <<<"$logic" && { echo "FAIL: $f is in the logic library"; status=1; } ;;
    *) [ -n "$draws" ] && { echo "FAIL: $f draws but is not under a widgets/ folder"; status=1; } ;;
    esac
done
for f in $(library ondaris_widgets); do
    [[ $f == */widgets/* ]] || { echo "FAIL: $f is in the widget library but not under widgets/"; status=1; }
done
[ -n "$logic" ] || { echo "FAIL: no logic library in $src/CMakeLists.txt"; status=1; }
[ "$status" -eq 0 ] && echo "PASS: $(wc -w <<<"$logic") logic files, includes one way"
exit $status
