#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test. CTest starts and stops the
# throwaway PostgreSQL cluster the database tests use.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${VELMORA_TEST_BUILD:-build-test}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON -DVELMORA_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)"
cd "$build"
export QT_QPA_PLATFORM=offscreen
ctest --output-on-failure -j"$(nproc)" --timeout 900
