#!/usr/bin/env bash
# Line coverage of the installer's own code by the whole test suite (demos
# included): a Debug build with --coverage in build/coverage, then gcovr over
# core/, flow/, app/, nerixSetupOnline/, download/, install/, telemetry/ and
# the Unix platform layer.
#   tools/coverage.sh [endpoints.cmake]   (default: tools/local-endpoints.cmake)
set -euo pipefail
cd "$(dirname "$0")/.."
endpoints=$(realpath "${1:-tools/local-endpoints.cmake}")

if ! command -v gcovr >/dev/null; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends gcovr >/dev/null
fi

build=build/coverage
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -C "$endpoints" "${launcher[@]}" \
    -DCMAKE_CXX_FLAGS=--coverage -DCMAKE_EXE_LINKER_FLAGS=--coverage >/dev/null
cmake --build "$build" -j"$(nproc)"

find "$build" -name '*.gcda' -delete
ctest --test-dir "$build" -j"$(nproc)" --output-on-failure --timeout 600 || echo "coverage: some tests failed" >&2

gcovr --root . --object-directory "$build" \
    --filter 'core/' --filter 'flow/' --filter 'app/' --filter 'nerixSetupOnline/' --filter 'download/' --filter 'install/' \
    --filter 'telemetry/' --filter 'platform/.*_unix\.cpp' --filter 'platform/Registry\.cpp' \
    --exclude 'build/' --exclude 'tests/' --exclude 'bench/' --exclude 'tools/' --exclude 'fuzz/' \
    --exclude '.*_autogen/' --exclude '.*qrc_.*' --exclude '.*ui_.*\.h' \
    --print-summary
