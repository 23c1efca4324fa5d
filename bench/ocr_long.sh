#!/usr/bin/env bash
# Character error rate on long lines (about 900 to 4000 px wide): bench/ocr/long-{english,
# simplified}.txt drawn at 12, 16 and 20 px, light and dark, each read with `tessal ocr`.
#   bench/ocr_long.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
dir=$(mktemp -d /tmp/tessal-ocr-long.XXXXXX)
trap 'rm -rf "$dir"' EXIT
total_errors=0
total_chars=0
for script in english simplified; do
    errors=0
    chars=0
    for size in 12 16 20; do
        for theme in light dark; do
            extra=()
            [ $theme = dark ] && extra=(--dark)
            name="$dir/$script-$size-$theme"
            QT_QPA_PLATFORM=offscreen "$build/tests/tessal-fixture" --render-text "$name.png" \
                "$here/ocr/long-$script.txt" "Noto Sans CJK SC" --size $size "${extra[@]}" 2>/dev/null
            QT_QPA_PLATFORM=offscreen "$build/tessal" ocr "$name.png" >"$name.out" 2>/dev/null
            read -r e n < <(/usr/bin/python3 - "$name.png.txt" "$name.out" "$here" <<'PY'
import sys, os
sys.path.insert(0, os.path.join(sys.argv[3], "..", "tests", "system"))
from cer import distance, text
e, a = text(sys.argv[1]), text(sys.argv[2])
print(distance(e, a), len(e))
PY
)
            width=$(identify -format %w "$name.png")
            printf '  %-10s %2d px %-5s %4d px wide: %.2f %%\n' $script $size $theme "$width" \
                "$(awk -v e="$e" -v n="$n" 'BEGIN { print 100 * e / n }')"
            errors=$((errors + e))
            chars=$((chars + n))
        done
    done
    printf '%s: character error rate %.2f %% (%d of %d)\n' $script \
        "$(awk -v e=$errors -v n=$chars 'BEGIN { print 100 * e / n }')" $errors $chars
    total_errors=$((total_errors + errors))
    total_chars=$((total_chars + chars))
done
printf 'long lines: character error rate %.2f %% (%d of %d)\n' \
    "$(awk -v e=$total_errors -v n=$total_chars 'BEGIN { print 100 * e / n }')" $total_errors $total_chars
