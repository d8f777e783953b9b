#!/usr/bin/env bash
# Installs what is missing, builds, and starts Velmora on the embedded database.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_BUILD_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)"
exec build/velmora/Velmora "$@"
