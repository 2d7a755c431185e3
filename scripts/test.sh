#!/usr/bin/env bash
# Installs what is missing, builds Stickwell and runs every test: the whole suite on a normal
# build (end-to-end checks on their own Xvfb server), then the suite again under
# AddressSanitizer + UndefinedBehaviorSanitizer, then every fuzz target for a short time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# A second run on a set-up machine must find nothing to install.
bash scripts/install-deps.sh --check
bash scripts/build.sh build RelWithDebInfo
bash scripts/build.sh build-asan Sanitize -DSTICKWELL_BENCH=OFF

# The tests run with a home of their own, which must still be empty at the end: no test may
# write to a user's files (each gives the program a data directory of its own).
sandbox=$(mktemp -d)
trap 'rm -rf "$sandbox"' EXIT
sandboxed() {
  HOME=$sandbox XDG_DATA_HOME=$sandbox/.local/share XDG_CONFIG_HOME=$sandbox/.config \
    XDG_CACHE_HOME=$sandbox/.cache XDG_STATE_HOME=$sandbox/.local/state "$@"
}
sandboxed ctest --test-dir build --output-on-failure -j2
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  sandboxed ctest --test-dir build-asan --output-on-failure -j2 -LE e2e
if [ -n "$(find "$sandbox" -mindepth 1 -print -quit)" ]; then
  echo "The tests wrote into their home folder:" >&2
  find "$sandbox" -mindepth 1 >&2
  exit 1
fi
# Every fuzz target built with clang and run from its seeds (20 s each, two at a time), so that
# none can rot unnoticed.
bash scripts/fuzz.sh 20
