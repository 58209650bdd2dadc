#!/usr/bin/env bash
# Installs whatever Tintora needs to build, run and test that this Debian machine lacks.
set -euo pipefail

packages=(
    # build
    build-essential cmake pkg-config qt6-base-dev libgl-dev libx11-dev
    # tests and benchmarks
    libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev valgrind
    # the window: Japanese font, the colour dialog's Japanese texts, the help opener
    fonts-ipafont-gothic qt6-translations-l10n xdg-utils
    # end-to-end tests: a private X server, real input, screenshots, the accessibility bus
    xvfb xauth xdotool x11-utils imagemagick dbus dbus-x11 at-spi2-core python3 python3-gi
    python3-dbus  # the stand-in desktop portal of the screen pick test
    gir1.2-atspi-2.0
    openbox  # a small window manager: Alt+F4 and window activation in the end-to-end tests
    # the Debian package: cpack's dependency lookup and the checks run on the package
    dpkg-dev file lintian appstream desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    echo "setup: installing ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
