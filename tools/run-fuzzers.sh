#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
#   tools/run-fuzzers.sh [seconds per target, default 30] [build dir]
# Skips (exit 0) where clang is not installed.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-30}"
build="${2:-build/fuzz}"
if ! command -v clang++ >/dev/null; then
    echo "clang++ not found: fuzz targets skipped"
    exit 0
fi

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DNERIX_FUZZ=ON \
      -DNERIX_BUILD_BENCH=OFF -DNERIX_GREEN_TESTS=OFF >/dev/null
cmake --build "$build" --target fuzz_channel fuzz_machineid fuzz_signature -j"$(nproc)"

# A real signature to start from, so the signature target reaches the checks
# behind the parse at once (the suite's password-less test key).
if command -v minisign >/dev/null && [ ! -e "$build/corpus/fuzz_signature/seed.minisig" ]; then
    mkdir -p "$build/corpus/fuzz_signature"
    echo package >"$build/seed-package"
    minisign -S -s tests/data/test-key-a.key -m "$build/seed-package" -x "$build/corpus/fuzz_signature/seed.minisig" \
        -t "seed" >/dev/null
fi
for target in fuzz_channel fuzz_machineid fuzz_signature; do
    corpus="$build/corpus/$target"
    mkdir -p "$corpus"
    # Findings land in the build folder, never in the source tree.
    "$build/fuzz/$target" -max_total_time="$seconds" -max_len=1100000 -rss_limit_mb=4096 \
        -artifact_prefix="$build/$target-" -print_final_stats=1 "$corpus"
done
