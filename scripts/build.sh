#!/usr/bin/env bash
# Configures and builds into build/ (or the folder given as $1 with build type $2).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
type=${2:-RelWithDebInfo}
shift $(( $# > 2 ? 2 : $# )) || true
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
