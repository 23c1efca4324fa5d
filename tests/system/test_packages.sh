#!/usr/bin/env bash
# The two ways Tessal is installed: the Debian package (installed into a throw-away root with
# dpkg, its desktop entry and metainfo linted, the installed program and its recognition worker
# run from there) and the per-user bundle (one signed folder that verifies, installs into a
# temporary home and runs).
set -u
: "${TESSAL:?TESSAL must name the tessal binary}"
build=$(cd "$(dirname "$TESSAL")" && pwd -P)
source_dir=$(cd "$(dirname "$0")/../.." && pwd -P)
dir=$(mktemp -d /tmp/tessal-packages.XXXXXX)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
pass() { echo "PASS: $*"; }
version=$(QT_QPA_PLATFORM=offscreen "$TESSAL" --version | awk '{print $2}')

# --- Debian package ---------------------------------------------------------------------
(cd "$build" && cpack -G DEB -B "$dir/deb" >/dev/null) || fail "cpack could not make the package"
deb=$(ls "$dir"/deb/tessal_"$version"_*.deb 2>/dev/null | head -n1)
[ -f "$deb" ] || fail "no tessal_${version}_*.deb"
[ "$(dpkg-deb -f "$deb" Package)" = tessal ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "no Qt dependency recorded"
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/tessal ./usr/bin/tessal-app ./usr/lib/tessal/tessal-ocr-worker ./usr/lib/tessal/libonnxruntime.so.1 \
    ./usr/share/tessal/ocr/ch_PP-OCRv4_rec_infer.onnx ./usr/share/applications/local.ostrel.desktop \
    ./usr/share/metainfo/local.ostrel.Tessal.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/local.ostrel.svg \
    ./usr/share/icons/hicolor/symbolic/apps/local.ostrel-symbolic.svg \
    ./usr/share/bash-completion/completions/tessal ./usr/share/zsh/vendor-completions/_tessal \
    ./usr/share/fish/vendor_completions.d/tessal.fish ./usr/share/man/man1/tessal.1 \
    ./usr/share/dbus-1/services/local.ostrel.service \
    ./usr/share/gnome-shell/extensions/tessal-windows@local.ostrel/extension.js \
    ./usr/share/gnome-shell/extensions/tessal-windows-legacy@local.ostrel/metadata.json; do
    grep -qx "$f" <<<"$contents" || fail "package lacks $f"
done
if grep -q InstallUpdate <<<"$contents"; then fail "the package carries the bundle's updater"; fi

root="$dir/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
dpkg --root="$root" --force-depends --force-script-chrootless --force-not-root -i "$deb" \
    >"$dir/dpkg.log" 2>&1 || { cat "$dir/dpkg.log"; fail "dpkg could not install the package"; }
dpkg --root="$root" -s tessal | grep -q '^Status: install ok installed' || fail "dpkg status"
desktop-file-validate "$root/usr/share/applications/local.ostrel.desktop" || fail "desktop entry"
# KWin grants its screenshot interface by the program's full path in the entry.
grep -qx "Exec=/usr/bin/tessal-app" "$root/usr/share/applications/local.ostrel.desktop" &&
    grep -qx "X-KDE-DBUS-Restricted-Interfaces=org.kde.KWin.ScreenShot2" \
        "$root/usr/share/applications/local.ostrel.desktop" ||
    fail "the desktop entry does not ask KWin for screenshots by the installed path"
appstreamcli validate --no-net "$root/usr/share/metainfo/local.ostrel.Tessal.metainfo.xml" \
    >"$dir/appstream.log" 2>&1 || { cat "$dir/appstream.log"; fail "metainfo"; }
[ "$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/tessal" --version)" = "Tessal $version" ] ||
    fail "the installed program does not run"
# The completions and the manual page say what the installed program parses.
cmp -s "$root/usr/share/man/man1/tessal.1" <("$root/usr/bin/tessal" --dump-man) || fail "manual page"
bash -c "source '$root/usr/share/bash-completion/completions/tessal' && COMP_WORDS=(tessal capture --reg) \
    COMP_CWORD=2 && _tessal && [ \"\${COMPREPLY[*]}\" = --region ]" || fail "bash completion"
grep -qx "Exec=/usr/bin/tessal" "$root/usr/share/dbus-1/services/local.ostrel.service" ||
    fail "the D-Bus service does not start the installed program"
# The installed copy finds its own worker, runtime and models (not the build's).
convert -size 520x90 xc:white -font Noto-Sans-CJK-SC -pointsize 40 -fill black \
    -annotate +12+60 'Tessal 截图 2026' "$dir/text.png"
text=$(env -u TESSAL_OCR_MODELS QT_QPA_PLATFORM=offscreen "$root/usr/bin/tessal" ocr "$dir/text.png" 2>&1)
grep -q 'Tessal' <<<"$text" && grep -q '截图' <<<"$text" || fail "installed recognition read: $text"
[ -z "$(ldd "$root/usr/lib/tessal/tessal-ocr-worker" | grep 'not found')" ] || fail "worker libraries"
ldd "$root/usr/lib/tessal/tessal-ocr-worker" | grep -q "$root/usr/lib/tessal/libonnxruntime.so.1" ||
    fail "the worker does not load its own runtime"
pass "the package installs with dpkg, lints clean and runs with its own recognition files"

# --- bundle -------------------------------------------------------------------------------
public=$("$build/tessal-bundle-sign" keygen "$dir/key.pem") || fail "keygen"
archive=$(bash "$source_dir/scripts/bundle.sh" "$build" "$dir/out" "$dir/key.pem") ||
    fail "bundle.sh failed"
[ "$(basename "$archive")" = "tessal-$version-linux-$(uname -m).tar.gz" ] || fail "name $archive"
tops=$(tar -tzf "$archive" | cut -d/ -f1 | sort -u)
[ "$tops" = "Tessal.bundle" ] || fail "the archive must hold one folder, has: $tops"
if tar -tvzf "$archive" | grep -Ev '^[d-]' | grep -q .; then fail "links or devices in the archive"; fi
mkdir -p "$dir/unpacked" && tar -xzf "$archive" -C "$dir/unpacked"
bundle="$dir/unpacked/Tessal.bundle"
"$build/tessal-bundle-sign" verify "$bundle" "$public" || fail "the bundle does not verify"
other=$("$build/tessal-bundle-sign" keygen "$dir/other.pem")
if "$build/tessal-bundle-sign" verify "$bundle" "$other"; then fail "verifies with another key"; fi
python3 - "$bundle/manifest.json" "$version" "$(uname -m)" <<'PY' || fail "manifest"
import json, sys
m = json.load(open(sys.argv[1]))
assert m["identifier"] == "local.ostrel" and m["version"] == sys.argv[2], m
assert m["executable"] == "tessal" and m["architecture"] == sys.argv[3], m
assert m["displayName"] == "Tessal" and isinstance(m["updateChannelEnabled"], bool), m
PY
[ -x "$bundle/share/tessal/InstallUpdate.sh" ] || fail "the bundle lacks its update installer"
[ -x "$bundle/lib/tessal/tessal-update-helper" ] || fail "the bundle lacks its update helper"

home="$dir/home"
mkdir -p "$home"
HOME="$home" XDG_DATA_HOME="$home/.local/share" sh "$bundle/install.sh" >/dev/null ||
    fail "install.sh failed"
installed="$home/.local/opt/Tessal.bundle"
"$build/tessal-bundle-sign" verify "$installed" "$public" || fail "installed copy does not verify"
entry="$home/.local/share/applications/local.ostrel.desktop"
desktop-file-validate "$entry" || fail "bundle desktop entry"
grep -qx "Exec=\"$installed/bin/tessal-app\"" "$entry" || fail "entry does not start the bundle"
[ "$(QT_QPA_PLATFORM=offscreen "$installed/bin/tessal" --version)" = "Tessal $version" ] ||
    fail "the installed bundle does not run"
grep -qx "Exec='$installed/bin/tessal'" "$home/.local/share/dbus-1/services/local.ostrel.service" ||
    fail "the bundle's D-Bus service does not start the bundle"
[ -s "$home/.local/share/man/man1/tessal.1" ] && [ -s "$home/.local/share/bash-completion/completions/tessal" ] ||
    fail "the bundle's manual page or completions are not installed"
HOME="$home" XDG_DATA_HOME="$home/.local/share" sh "$installed/install.sh" --remove >/dev/null
[ ! -e "$installed" ] && [ ! -e "$entry" ] && [ ! -e "$home/.local/share/man/man1/tessal.1" ] ||
    fail "--remove left files"
pass "the bundle is one signed folder that verifies, installs for the user and runs"
