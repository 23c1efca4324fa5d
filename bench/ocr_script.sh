#!/usr/bin/env bash
# Script choice between the two readers: traditional and simplified Chinese toolbars (rows of
# two- to four-character labels), menus, dialogs and a terminal, the same words in both scripts
# (bench/ocr/script/), drawn in the matching Noto CJK faces at 13 and 16 px (the terminal in the
# monospaced face, light on dark). Accuracy per script and per kind, and the characters of one
# script read as the other's form, with bench/ocr_accuracy.py.
#   bench/ocr_script.sh BUILD_DIR
set -u
build=$1
here=$(cd "$(dirname "$0")" && pwd)
TESSAL=${TESSAL:-$build/tessal}
TESSAL_FIXTURE=${TESSAL_FIXTURE:-$build/tests/tessal-fixture}
dir=$(mktemp -d /tmp/tessal-ocr-script.XXXXXX)
for script in traditional simplified; do
    sans="Noto Sans CJK TC" mono="Noto Sans Mono CJK TC"
    [ $script = simplified ] && sans="Noto Sans CJK SC" mono="Noto Sans Mono CJK SC"
    for kind in toolbar menu dialog terminal; do
        mkdir -p "$dir/$script/$kind" "$dir/$kind-$script"
        for size in 13 16; do
            face=$sans extra=()
            [ $kind = terminal ] && face=$mono extra=(--dark)
            name="$dir/$script/$kind/$kind-$size"
            QT_QPA_PLATFORM=offscreen "$TESSAL_FIXTURE" --render-text "$name.png" \
                "$here/ocr/script/$script-$kind.txt" "$face" --size $size "${extra[@]}" 2>/dev/null
            mv "$name.png.txt" "$name.txt"
        done
    done
done
for script in traditional simplified; do
    echo "== $script: all kinds =="
    mkdir -p "$dir/all-$script"
    cp "$dir/$script"/*/*.{png,txt} "$dir/all-$script/"
    /usr/bin/python3 "$here/ocr_accuracy.py" "$TESSAL" "$dir/all-$script" | grep -v "worst" | sed "s/, real windows [0-9.]* %, traditional [0-9.]* %//"
    for kind in toolbar menu dialog terminal; do
        printf '  %s: ' "$kind"
        /usr/bin/python3 "$here/ocr_accuracy.py" "$TESSAL" "$dir/$script/$kind" |
            sed -n 's/^character error rate: all \([0-9.]* %\).*/\1/p'
    done
done
rm -rf "$dir"
