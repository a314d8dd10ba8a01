#!/usr/bin/env bash
# Installs what is missing, builds a Release build and starts QNMR Orvane.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANE_TESTS=OFF -DORVANE_BENCH=OFF
cmake --build build --target orvane
exec ./build/orvane "$@"
