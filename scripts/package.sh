#!/usr/bin/env bash
# Builds the two programs without tests into build-package/ and makes the Debian package there
# (CPack); lists what it holds and what it depends on. usage: package.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build-package"
bash "$root/scripts/deps.sh" build
cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVARO_BUILD_TESTS=OFF >/dev/null
cmake --build "$out" -j "$(nproc)" --target tovaro tovaro-report
(cd "$out" && cpack -G DEB >/dev/null)
package=$(ls "$out"/tovaro_*.deb)
dpkg-deb -f "$package" Package Version Depends Recommends
dpkg-deb -c "$package"
echo "$package"
