#!/usr/bin/env bash
# Builds the libFuzzer targets (every fuzz/*_fuzz.cpp) with clang into build-fuzz/ and runs each
# for a short time, seeded with the test data of its format and fuzz/seeds/<target>/ (the name
# without "_fuzz"); fails when a target does not build, crashes, hangs or trips a sanitizer (the
# input that did it is kept in build-fuzz/crashes/).
# Usage: scripts/fuzz.sh [seconds per target, default 20]
# Two targets run side by side (FUZZ_JOBS to change that).
set -euo pipefail
cd "$(dirname "$0")/.."
secs=${1:-20}
jobs=${FUZZ_JOBS:-2}
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Sanitize \
  -DSTICKWELL_FUZZ=ON -DBUILD_TESTING=OFF -DSTICKWELL_BENCH=OFF >/dev/null
targets=()
for f in fuzz/*_fuzz.cpp; do targets+=("$(basename "$f" .cpp)"); done
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"

# Seeds of a target: the test data of its format, plus fuzz/seeds/<target without _fuzz>/.
seeds() {
  case "$1" in
    xbase_dbf_fuzz) ls tests/data/*/*.DBF ;;
    xbase_fpt_fuzz) ls tests/data/*/*.fpt ;;
    xbase_cdx_fuzz) ls tests/data/*/*.cdx ;;
    model_picture_fuzz) ls tests/data/*/*.bmp tests/data/*/*.wmf tests/data/*/*.png ;;
    report_stream_fuzz) ls tests/data/*/*.rps ;;
    model_itemtext_fuzz | print_itemtext_fuzz) ls tests/data/*/*-items.txt fuzz/seeds/itemtext/* ;;
    library_stockfile_fuzz) ls /usr/share/libglabels-3.0/templates/*-templates.xml ;;
  esac 2>/dev/null || true
  [ -d "fuzz/seeds/${1%_fuzz}" ] && find "fuzz/seeds/${1%_fuzz}" -type f
  return 0
}

# The targets run with a home of their own (the font and Qt libraries keep caches there), and
# leaks are not looked for: those libraries keep caches that read as leaks (the sanitizer run of
# the tests does the same).
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
run() {
  local t=$1 corpus="$work/$1"
  mkdir -p "$corpus" "$work/home"
  seeds "$t" | while read -r s; do cp "$s" "$corpus/"; done
  if HOME=$work/home XDG_CACHE_HOME=$work/home/.cache XDG_CONFIG_HOME=$work/home/.config \
      XDG_DATA_HOME=$work/home/.local/share ASAN_OPTIONS=detect_leaks=0 \
      "build-fuzz/fuzz/$t" -max_total_time="$secs" -timeout=30 -rss_limit_mb=4096 -detect_leaks=0 \
      -print_final_stats=1 -artifact_prefix="$work/$t-" "$corpus" >"$work/$t.log" 2>&1; then
    echo "fuzz: $t ok, $(ls "$corpus" | wc -l) inputs, $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$work/$t.log" | grep -o '[0-9]*$') runs in ${secs}s"
  else
    echo "fuzz: $t FAILED"
    tail -n 40 "$work/$t.log"
    mkdir -p build-fuzz/crashes && cp "$work/$t"-* build-fuzz/crashes/ 2>/dev/null || true
    return 1
  fi
}
failed=0
running=0
for t in "${targets[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n || failed=$(( failed + 1 ))
    running=$(( running - 1 ))
  fi
  run "$t" &
  running=$(( running + 1 ))
done
while [ "$running" -gt 0 ]; do
  wait -n || failed=$(( failed + 1 ))
  running=$(( running - 1 ))
done
echo "fuzz: $(( ${#targets[@]} - failed )) of ${#targets[@]} targets ran clean for ${secs}s each"
[ "$failed" -eq 0 ]
