#!/usr/bin/env bash
# Installs what is missing, builds telematico, creates the demo installation ./demo-root
# when it is absent, and starts the program on it.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --parallel "$(nproc)" --target telematico telematico-cli
if [ ! -d demo-root ]; then
  ./build/telematico-cli demo --root ./demo-root
fi
exec ./build/telematico --root ./demo-root "$@"
