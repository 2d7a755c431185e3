#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for a short time,
# seeded with the test data of its format; fails when a target crashes, hangs or trips a
# sanitizer (the input that did it is kept in build-fuzz/crashes/).
# Usage: scripts/fuzz.sh [seconds per target, default 20]
set -euo pipefail
cd "$(dirname "$0")/.."
secs=${1:-20}
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

# Leaks are not looked for: the font and image libraries keep caches that read as leaks (the
# sanitizer run of the tests does the same).
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=()
for t in "${targets[@]}"; do
  corpus="$work/$t"
  mkdir -p "$corpus"
  seeds "$t" | while read -r s; do cp "$s" "$corpus/"; done
  echo "fuzz: $t for ${secs}s from $(ls "$corpus" | wc -l) seeds"
  if ! ASAN_OPTIONS=detect_leaks=0 "build-fuzz/fuzz/$t" -max_total_time="$secs" -timeout=30 \
      -rss_limit_mb=4096 -detect_leaks=0 -print_final_stats=0 -artifact_prefix="$work/$t-" "$corpus" \
      >"$work/$t.log" 2>&1; then
    tail -n 40 "$work/$t.log"
    failed+=("$t")
    mkdir -p build-fuzz/crashes && cp "$work/$t"-* build-fuzz/crashes/ 2>/dev/null || true
  fi
done
echo "fuzz: $(( ${#targets[@]} - ${#failed[@]} )) passed, ${#failed[@]} failed"
[ ${#failed[@]} -eq 0 ]
