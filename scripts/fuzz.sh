#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for a bounded time
# on its seed corpus, with a fixed random seed so that a run can be repeated. usage: fuzz.sh [SECONDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
out="$root/build-fuzz"
cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DTOVARO_BUILD_TESTS=OFF -DTOVARO_BUILD_FUZZ=ON >/dev/null
targets=$(cd "$root/fuzz" && ls fuzz_*.cpp 2>/dev/null | sed "s/\.cpp$//" || true)
[ -n "$targets" ] || { echo "fuzz: no targets"; exit 0; }
cmake --build "$out" -j "$(nproc)" --target $targets
for target in $targets; do
    corpus="$out/corpus/$target"
    mkdir -p "$corpus"
    seeds="$root/fuzz/seeds/${target#fuzz_}"
    [ -d "$seeds" ] && cp -r "$seeds"/. "$corpus"/
    echo "fuzz: $target for ${seconds}s"
    (cd "$out" && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp" \
        QT_QPA_PLATFORM=offscreen \
        "$out/fuzz/$target" -seed=1 -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=0 "$corpus" 2>"$out/$target.log") \
        || { tail -50 "$out/$target.log"; echo "fuzz: $target failed"; exit 1; }
done
echo "fuzz: all targets passed"
