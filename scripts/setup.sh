#!/usr/bin/env bash
# Installs whatever Tintora needs to build, run and test that this Debian machine lacks. Works on
# Debian 12 and 13 (and releases sharing their package names): where a package's name carries a
# version, the name is found from what the release offers, not written down here.
#
#   scripts/setup.sh                    the packages alone, without what they recommend
#   scripts/setup.sh --with-recommends  with Debian's recommended packages too, as a desktop
#                                       user's machine has them (Qt's GTK platform theme among
#                                       them), so that the tests also run where users run them
set -euo pipefail

recommends=--no-install-recommends
case "${1:-}" in
    "") ;;
    --with-recommends) recommends=--install-recommends ;;
    *)
        echo "usage: $0 [--with-recommends]" >&2
        exit 2
        ;;
esac

packages=(
    # build
    build-essential cmake pkg-config qt6-base-dev libgl-dev libx11-dev
    # tests and benchmarks (clang's runtime libraries, named after its version, follow below)
    libgtest-dev libgmock-dev libbenchmark-dev clang valgrind
    # the window: Japanese font, the colour dialog's Japanese texts, the help opener
    fonts-ipafont-gothic qt6-translations-l10n xdg-utils
    qt6-image-formats-plugins  # picking from images: WebP, TIFF and the other formats beyond Qt's own
    # end-to-end tests: a private X server, real input, screenshots, the accessibility bus
    xvfb xauth xdotool x11-utils imagemagick dbus dbus-x11 at-spi2-core python3 python3-gi
    python3-dbus  # the stand-in desktop portal of the screen pick test
    gir1.2-atspi-2.0
    openbox  # a small window manager: Alt+F4 and window activation in the end-to-end tests
    xclip  # the end-to-end tests put text on the clipboard and read back what the program copied
    weston qt6-wayland  # a headless Wayland compositor and Qt's Wayland platform
    # the Debian package: cpack's dependency lookup and the checks run on the package
    dpkg-dev file lintian appstream desktop-file-utils
    # the palette tests: GIMP's palettes are imported, and gimp-console reads an exported one back
    gimp
    # CI's second release: a fresh Debian 13 tree (scripts/test-debian13.sh)
    mmdebstrap debian-archive-keyring
)

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
updated=""

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

install_missing() {
    local missing=() p
    for p in "$@"; do
        installed "$p" || missing+=("$p")
    done
    [ ${#missing[@]} -gt 0 ] || return 0
    echo "setup: installing ${missing[*]}"
    if [ -z "$updated" ]; then
        $sudo apt-get -o DPkg::Lock::Timeout=600 update -qq
        updated=yes
    fi
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
        "$recommends" "${missing[@]}"
}

install_missing "${packages[@]}"

# The sanitizer and fuzzing runtimes come with the package named after the installed clang's major
# version (libclang-rt-14-dev on Debian 12, libclang-rt-19-dev on Debian 13); releases before that
# split shipped them in libclang-common-N-dev, which clang already depends on.
clang_major=$(clang -dumpversion | cut -d. -f1)
runtime="libclang-rt-$clang_major-dev"
known() { apt-cache show "$1" >/dev/null 2>&1; }
if ! installed "$runtime"; then
    if ! known "$runtime" && [ -z "$updated" ]; then
        $sudo apt-get -o DPkg::Lock::Timeout=600 update -qq
        updated=yes
    fi
    if known "$runtime"; then
        install_missing "$runtime"
    else
        echo "setup: no $runtime on this release; the sanitizer and fuzzing builds need clang's runtimes" >&2
    fi
fi

# Inkscape's palettes, imported by the palette test, are taken from its package without installing
# Inkscape: the package is downloaded and only its palettes are unpacked, into build/.
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
inkscape_palettes="$repo/build/shipped-palettes/inkscape"
if [ ! -d "$inkscape_palettes" ]; then
    unpack=$(mktemp -d)
    # Downloading needs no root; the package lists are refreshed (as root) only when the lists at
    # hand do not name a package that can be had, so an ordinary user on a set-up machine is not
    # asked for a password.
    download() { (cd "$unpack" && apt-get download -qq inkscape 2>/dev/null); }
    if ! download && [ -z "$updated" ]; then
        $sudo apt-get -o DPkg::Lock::Timeout=600 update -qq
        updated=yes
        download || true
    fi
    if ls "$unpack"/inkscape_*.deb >/dev/null 2>&1 \
        && dpkg-deb -x "$unpack"/inkscape_*.deb "$unpack/tree"; then
        mkdir -p "$(dirname "$inkscape_palettes")"
        cp -r "$unpack/tree/usr/share/inkscape/palettes" "$inkscape_palettes"
    else
        echo "setup: could not take Inkscape's palettes from its package" >&2
    fi
    rm -rf "$unpack"
fi
