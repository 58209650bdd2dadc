#!/usr/bin/env bash
# Builds and tests Tintora on a fresh Debian 13 ("trixie") as well: makes a new Debian 13 tree with
# mmdebstrap from Debian's archive under build/debian13, copies the sources into it, runs the set-up
# there with Debian's recommended packages (so the set-up itself is tried on a fresh system, set up
# as a desktop user's is), then the release build (warnings are
# errors) with all its tests, the end-to-end ones included, and the Debian package with its checks
# (lintian among them). Needs root for the chroot and its mounts, which are always taken down again.
# Prints how long each step took.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work="$root/build/debian13"
tree="$work/root"
mirror=${DEBIAN13_MIRROR:-http://deb.debian.org/debian}
jobs=$(nproc)

if [ "$(id -u)" -ne 0 ]; then
    echo "test-debian13: needs root (chroot and mounts)" >&2
    exit 1
fi

mounted=()
take_down() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" || true
    done
    mounted=()
}
trap take_down EXIT
trap 'exit 130' INT TERM

mount_in() {  # mount_in <target under the tree> <mount arguments...>
    mkdir -p "$tree$1"
    mount "${@:2}" "$tree$1"
    mounted+=("$tree$1")
}

# A tree of an earlier run may still hold mounts if that run was killed: take them down before
# removing it, and never remove across a file-system boundary.
if [ -d "$tree" ]; then
    findmnt -rn -o TARGET | { grep -F "$tree/" || true; } | sort -r | while read -r m; do
        umount "$m" 2>/dev/null || umount -l "$m"
    done
    rm -rf --one-file-system "$tree"
fi
mkdir -p "$work"

timings=()
now() { date +%s; }
lap() { timings+=("$(printf '%-28s %4ds' "$1" $(($(now) - $2)))"); }

echo "== Debian 13: a fresh tree with mmdebstrap"
t=$(now)
mmdebstrap --quiet --variant=apt --components=main trixie "$tree" "$mirror"
lap "mmdebstrap" "$t"

# No service may start inside the tree while packages are installed.
printf '#!/bin/sh\nexit 101\n' >"$tree/usr/sbin/policy-rc.d"
chmod 755 "$tree/usr/sbin/policy-rc.d"
cp /etc/resolv.conf "$tree/etc/resolv.conf"

# The sources without any build output or history.
mkdir -p "$tree/src/tintora"
tar -C "$root" --exclude=./build --exclude=./.git -cf - . | tar -C "$tree/src/tintora" -xf -

mount_in /proc -t proc proc
mount_in /sys -t sysfs sysfs
mount_in /dev --bind /dev
mount_in /dev/pts -t devpts -o newinstance,ptmxmode=0666 devpts
mount_in /dev/shm -t tmpfs -o mode=1777 tmpfs
mount_in /tmp -t tmpfs -o mode=1777 tmpfs

inside() {
    chroot "$tree" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        HOME=/root LANG=C.UTF-8 CI="${CI:-}" /bin/bash -euo pipefail -c "cd /src/tintora && $1" </dev/null
}

# With Debian's recommended packages, as on a desktop user's machine (Qt's GTK platform theme among
# them); the Debian 12 run of the test command stays minimal, so both kinds of machine are tried.
echo "== Debian 13: set-up with recommended packages (scripts/setup.sh --with-recommends)"
t=$(now)
inside "bash scripts/setup.sh --with-recommends"
lap "set-up inside" "$t"

echo "== Debian 13: release build"
t=$(now)
inside "cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DTINTORA_WERROR=ON >/dev/null &&
        cmake --build build/release -j$jobs"
lap "release build" "$t"

echo "== Debian 13: release tests (end-to-end included)"
t=$(now)
inside "ctest --test-dir build/release --output-on-failure -j$jobs -LE package"
lap "tests" "$t"

echo "== Debian 13: package (cpack -G DEB) and its checks (lintian and others)"
t=$(now)
inside "ctest --test-dir build/release --output-on-failure -j$jobs -L package"
lap "package + lintian" "$t"

echo "== Debian 13: all passed"
printf '   %s\n' "${timings[@]}"
