#!/usr/bin/env bash
# Sets the machine up, builds the release build and starts Tintora.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DTINTORA_BENCH=OFF >/dev/null
cmake --build "$root/build/release" --target tintora -j"$(nproc)"
exec "$root/build/release/app/tintora"
