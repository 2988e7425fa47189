#!/usr/bin/env bash
# Installs the benchmarks' packages, builds with benchmarks on and runs every bench program.
# Each prints "RESULT <name> <value> <unit>" lines.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/deps.sh" bench
bash "$root/scripts/build.sh" -DTOVARO_BUILD_BENCH=ON
for program in "$root"/build/bench/bench_*; do
    [ -x "$program" ] || continue
    echo "== $(basename "$program")"
    QT_QPA_PLATFORM=offscreen "$program" "$@"
done
