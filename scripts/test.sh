#!/usr/bin/env bash
# Installs what is missing, builds Stickwell and runs every test: the whole suite on a normal
# build (end-to-end checks on their own Xvfb server), then the suite again under
# AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# A second run on a set-up machine must find nothing to install.
bash scripts/install-deps.sh --check
bash scripts/build.sh build RelWithDebInfo
ctest --test-dir build --output-on-failure -j2
bash scripts/build.sh build-asan Sanitize -DSTICKWELL_BENCH=OFF
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j2 -LE e2e
