#!/usr/bin/env bash
# Configures and builds one build tree: scripts/build.sh <build-dir> [cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"; shift || true
cmake -S . -B "$dir" "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
