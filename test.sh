#!/usr/bin/env bash
# Installs what is missing, builds everything into build/ and runs every test with CTest.
#   ./test.sh             all tests, warnings are errors
#   ./test.sh --sanitize  the core's tests built with AddressSanitizer and UBSan in build-sanitize/
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh

sanitize=0
for argument in "$@"; do
    case "$argument" in
        --sanitize) sanitize=1 ;;
        *) echo "usage: $0 [--sanitize]" >&2; exit 2 ;;
    esac
done

# The headless packages too, so that the test of the headless mode's loopback binding runs.
velumina_install_packages "${VELUMINA_HEADLESS_PACKAGES[@]}"
jobs="$(nproc)"

if [ "$sanitize" -eq 1 ]; then
    velumina_configure build-sanitize -DVELUMINA_SANITIZE=ON -DVELUMINA_WERROR=ON -DVELUMINA_BUILD_BENCH=OFF \
        -DCMAKE_BUILD_TYPE=Debug
    cmake --build build-sanitize -j "$jobs"
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    ctest --test-dir build-sanitize --output-on-failure --timeout 300 -j "$jobs" -R '^(model|storage|settings)/'
    exit $?
fi

velumina_configure build -DVELUMINA_WERROR=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure --timeout 120 -j "$jobs"
