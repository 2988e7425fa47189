#!/usr/bin/env bash
# Installs what is missing, builds the two programs (not the tests) and starts the card program
# beside its data files. The compiler cache is used when ccache is installed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/deps.sh" build
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j "$(nproc)" --target tovaro tovaro-report
exec "$root/build/bin/tovaro" "$@"
