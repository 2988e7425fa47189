#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite, then (scripts/fuzz.sh) the whole
# test suite once more under AddressSanitizer and UndefinedBehaviorSanitizer, then the fuzz targets.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/deps.sh" test
bash "$root/scripts/build.sh"
(cd "$root/build" && ctest --output-on-failure -j "$(nproc)")
bash "$root/scripts/fuzz.sh" "${TOVARO_FUZZ_SECONDS:-60}"
