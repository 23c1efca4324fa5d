#!/usr/bin/env bash
# Installs the Debian packages Tessal needs to build, run and test, only those missing.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config clang-format curl ca-certificates
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev libvulkan-dev zlib1g-dev
  libxcb1-dev libxcb-shm0-dev libxcb-render0-dev libxcb-ewmh-dev libxcb-keysyms1-dev libxcb-xtest0-dev
  libxcb-composite0-dev libxcb-damage0-dev libxcb-randr0-dev libxcb-xfixes0-dev libxcb-res0-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libtesseract-dev tesseract-ocr-chi-tra libopencc-dev libzxing-dev libssl-dev libarchive-dev openssl
  # the recognition models are rewritten into fewer operations when fetched (fold_ocr_model.py)
  python3-onnx
  # translations: Qt's tools compile ours; Qt's own texts for its dialogs
  qt6-l10n-tools qt6-tools-dev qt6-translations-l10n
  # run
  qt6-qpa-plugins libqt6svg6 libqt6dbus6 fonts-noto-cjk dbus at-spi2-core
  # test world
  xvfb xauth openbox trayer xdotool xclip x11-xserver-utils x11-utils imagemagick dbus-x11 xcompmgr picom dunst
  python3-pyatspi desktop-file-utils appstream iproute2 util-linux
  # the face recognition reads rows of close-set text in
  fonts-dejavu-core
  # the session-bus test's gdbus; the manual page and shell completions checked by their own tools
  libglib2.0-bin groff-base zsh fish
  # Wayland: the backend (Qt's platform plugin), and the headless sway world of the tests.
  # xdg-desktop-portal offers Screenshot only beside an Access backend: the GTK one, named here
  # because it is only a Recommends, which this script never installs.
  qt6-wayland libwayland-dev sway xdg-desktop-portal xdg-desktop-portal-wlr xdg-desktop-portal-gtk
  pipewire wireplumber wtype wl-clipboard grim foot swaybg
  # Long capture through the ScreenCast portal reads its frames with libpipewire.
  libpipewire-0.3-dev
  # The headless KDE world: KWin's own window list and screenshot interface, GTK windows in it.
  kwin-wayland gtk-3-examples
  # The headless GNOME world: the shell, its portal backend, and the bus tools that set it up.
  gnome-shell xdg-desktop-portal-gnome dbus-bin
)

# `deps.sh bench` adds the peers the benchmarks measure against.
if [ "${1:-}" = "bench" ]; then
  packages+=(flameshot libatk-adaptor xterm bc opencc)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "deps: installing ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# What Debian does not package (text recognition): pinned, checksummed, cached.
bash "$(dirname "$0")/fetch_ocr.sh"
