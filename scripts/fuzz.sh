#!/usr/bin/env bash
# Builds everything with clang under AddressSanitizer and UndefinedBehaviorSanitizer into build-fuzz/,
# runs the whole test suite there once, then runs each libFuzzer target for a bounded time on its seed
# corpus, with a fixed random seed so that a run can be repeated. usage: fuzz.sh [SECONDS]
# The libraries carry libFuzzer's coverage hooks (fuzzer-no-link) for the fuzz targets; the test
# programs link the same objects without libFuzzer, whose hooks the sanitizers' runtime provides.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
out="$root/build-fuzz"
cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DTOVARO_BUILD_TESTS=ON -DTOVARO_BUILD_FUZZ=ON >/dev/null
cmake --build "$out" -j "$(nproc)"

# The first report of either sanitizer, a leak included, ends the program and fails its test or run.
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp"
export QT_QPA_PLATFORM=offscreen
(cd "$out" && ctest --output-on-failure -j "$(nproc)") || { echo "fuzz: the tests failed under the sanitizers"; exit 1; }

targets=$(cd "$root/fuzz" && ls fuzz_*.cpp 2>/dev/null | sed "s/\.cpp$//" || true)
[ -n "$targets" ] || { echo "fuzz: no targets"; exit 0; }
for target in $targets; do
    corpus="$out/corpus/$target"
    mkdir -p "$corpus"
    seeds="$root/fuzz/seeds/${target#fuzz_}"
    [ -d "$seeds" ] && cp -r "$seeds"/. "$corpus"/
    echo "fuzz: $target for ${seconds}s"
    (cd "$out" && "$out/fuzz/$target" -seed=1 -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=0 "$corpus" 2>"$out/$target.log") \
        || { tail -50 "$out/$target.log"; echo "fuzz: $target failed"; exit 1; }
done
echo "fuzz: all targets passed"
