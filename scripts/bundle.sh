#!/usr/bin/env bash
# Makes the per-user bundle from a configured, built tree:
#   scripts/bundle.sh BUILD_DIR OUT_DIR PRIVATE_KEY.pem
# -> OUT_DIR/tessal-<version>-linux-<arch>.tar.gz holding one folder, Tessal.bundle/, signed
# with the key. The build's TESSAL_UPDATE_CHANNEL sets the manifest's channel flag.
set -euo pipefail
build=$(cd "$1" && pwd -P)
out=$(mkdir -p "$2" && cd "$2" && pwd -P)
key=$3
source_dir=$(cd "$(dirname "$0")/.." && pwd -P)

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
channel=$(sed -n 's/^TESSAL_UPDATE_CHANNEL:BOOL=//p' "$build/CMakeCache.txt")
case "$channel" in ON|on|TRUE|true|1) channel=true ;; *) channel=false ;; esac
arch=$(uname -m)

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
bundle="$stage/Tessal.bundle"
cmake --install "$build" --prefix "$bundle" --strip >/dev/null
install -m 0755 "$source_dir/resources/InstallUpdate.sh" "$bundle/share/tessal/InstallUpdate.sh"
install -m 0755 "$source_dir/resources/install-bundle.sh" "$bundle/install.sh"
cat > "$bundle/manifest.json" <<JSON
{
    "identifier": "local.ostrel",
    "version": "$version",
    "executable": "tessal",
    "architecture": "$arch",
    "displayName": "Tessal",
    "updateChannelEnabled": $channel
}
JSON
chmod -R u=rwX,go=rX "$bundle"
"$build/tessal-bundle-sign" sign "$bundle" "$key"

archive="$out/tessal-$version-linux-$arch.tar.gz"
tar --owner=0 --group=0 --numeric-owner -C "$stage" -czf "$archive" Tessal.bundle
echo "$archive"
