#!/bin/sh
# Installs this Tessal bundle for the current user: the folder goes to ~/.local/opt (where the
# in-app update can replace it); a desktop entry, the icon, the D-Bus service, the bash and fish
# completions and the manual page to ~/.local/share.
#   Tessal.bundle/install.sh            install or replace
#   Tessal.bundle/install.sh --remove   remove the installed copy and its entries
set -eu

# A desktop entry's Exec value starting the program $1 (the rule of AutostartLoginItem::execValue):
# in double quotes with ", `, $ and \ escaped and % doubled, then \ and control characters escaped
# for the value itself.
exec_value() {
    printf '"%s"' "$(printf '%s' "$1" | LC_ALL=C sed -z -e 's/[\\"`$]/\\&/g' -e 's/%/%%/g' \
        -e 's/\\/\\\\/g' -e 's/\n/\\n/g' -e 's/\t/\\t/g' -e 's/\r/\\r/g')"
}
here=$(cd "$(dirname "$0")" && pwd -P)
opt="${HOME}/.local/opt"
case "${XDG_DATA_HOME:-}" in
    /*) data=$XDG_DATA_HOME ;;
    *) data="$HOME/.local/share" ;;
esac
target="$opt/Tessal.bundle"

if [ "${1:-}" = "--remove" ]; then
    rm -rf "$target"
    rm -f "$data/applications/local.ostrel.desktop" \
        "$data/icons/hicolor/scalable/apps/local.ostrel.svg" \
        "$data/icons/hicolor/symbolic/apps/local.ostrel-symbolic.svg" \
        "$data/dbus-1/services/local.ostrel.service" "$data/bash-completion/completions/tessal" \
        "$data/fish/vendor_completions.d/tessal.fish" "$data/man/man1/tessal.1"
    echo "Tessal removed from $target."
    exit 0
fi

mkdir -p "$opt" "$data/applications" "$data/icons/hicolor/scalable/apps" \
    "$data/icons/hicolor/symbolic/apps"
if [ "$here" != "$target" ]; then
    staging="$opt/.Tessal.bundle.new.$$"
    rm -rf "$staging"
    cp -a "$here" "$staging"
    if [ -d "$target" ]; then
        old="$opt/.Tessal.bundle.old.$$"
        mv -T -- "$target" "$old"
        if ! mv -T -- "$staging" "$target"; then
            # Put the installed copy back; say where each copy is if even that fails.
            if mv -T -- "$old" "$target"; then
                rm -rf "$staging"
                echo "install.sh: cannot install $target; the installed copy is unchanged." >&2
            else
                echo "install.sh: cannot install $target; the installed copy is at $old," \
                    "the new one at $staging." >&2
            fi
            exit 1
        fi
        rm -rf "$old"
    else
        mv -T "$staging" "$target"
    fi
fi
cp "$target/share/icons/hicolor/scalable/apps/local.ostrel.svg" \
    "$data/icons/hicolor/scalable/apps/local.ostrel.svg"
symbolic=share/icons/hicolor/symbolic/apps/local.ostrel-symbolic.svg
if [ -f "$target/$symbolic" ]; then
    cp "$target/$symbolic" "$data/icons/hicolor/symbolic/apps/local.ostrel-symbolic.svg"
fi
# KWin grants its screenshot interface by the path of the program making the calls.
exec_line="Exec=$(exec_value "$target/bin/tessal-app")"
while IFS= read -r line || [ -n "$line" ]; do
    case $line in
        Exec=*) printf '%s\n' "$exec_line" ;;
        *) printf '%s\n' "$line" ;;
    esac
done < "$target/share/applications/local.ostrel.desktop" > "$data/applications/local.ostrel.desktop"
# D-Bus reads Exec like a shell: the path in single quotes (a quote in it closed and escaped).
mkdir -p "$data/dbus-1/services"
printf '[D-BUS Service]\nName=local.ostrel\nExec=%s\n' \
    "'$(printf '%s' "$target/bin/tessal" | sed "s/'/'\\\\''/g")'" \
    > "$data/dbus-1/services/local.ostrel.service"
for f in bash-completion/completions/tessal fish/vendor_completions.d/tessal.fish man/man1/tessal.1; do
    if [ -f "$target/share/$f" ]; then
        mkdir -p "$(dirname "$data/$f")"
        cp "$target/share/$f" "$data/$f"
    fi
done
echo "Tessal installed in $target. Start it from the application menu or with $target/bin/tessal."
