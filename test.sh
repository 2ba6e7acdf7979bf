#!/usr/bin/env bash
# Installs what is missing, builds Zorvik with AddressSanitizer and UBSan
# (clang, so the fuzz targets build too) and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh test

build=build-test
cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DZORVIK_SANITIZE=ON -DZORVIK_TESTS=ON -DZORVIK_FUZZ=ON
cmake --build "$build"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$build" --output-on-failure --timeout 600 -j "$(nproc)"
