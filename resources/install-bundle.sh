#!/bin/sh
# Installs this Tessal bundle for the current user: the folder goes to ~/.local/opt (where the
# in-app update can replace it), a desktop entry and the icon to ~/.local/share.
#   Tessal.bundle/install.sh            install or replace
#   Tessal.bundle/install.sh --remove   remove the installed copy and its entries
set -eu
here=$(cd "$(dirname "$0")" && pwd -P)
opt="${HOME}/.local/opt"
data="${XDG_DATA_HOME:-$HOME/.local/share}"
target="$opt/Tessal.bundle"

if [ "${1:-}" = "--remove" ]; then
    rm -rf "$target"
    rm -f "$data/applications/local.ostrel.desktop" \
        "$data/icons/hicolor/scalable/apps/local.ostrel.svg"
    echo "Tessal removed from $target."
    exit 0
fi

mkdir -p "$opt" "$data/applications" "$data/icons/hicolor/scalable/apps"
if [ "$here" != "$target" ]; then
    staging="$opt/.Tessal.bundle.new.$$"
    rm -rf "$staging"
    cp -a "$here" "$staging"
    if [ -d "$target" ]; then
        mv "$target" "$opt/.Tessal.bundle.old.$$"
        mv "$staging" "$target"
        rm -rf "$opt/.Tessal.bundle.old.$$"
    else
        mv "$staging" "$target"
    fi
fi
cp "$target/share/icons/hicolor/scalable/apps/local.ostrel.svg" \
    "$data/icons/hicolor/scalable/apps/local.ostrel.svg"
sed "s|^Exec=.*|Exec=\"$target/bin/tessal\"|" "$target/share/applications/local.ostrel.desktop" \
    > "$data/applications/local.ostrel.desktop"
echo "Tessal installed in $target. Start it from the application menu or with $target/bin/tessal."
