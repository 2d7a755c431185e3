#!/usr/bin/env bash
# Installs the Debian packages Stickwell needs to build, run and test.
# Only packages that are missing are installed, so a second run does no package work (and never
# asks for sudo). Every name must be a real package: a virtual one never reads as installed.
#   --check   install nothing; list what is missing and exit 1 when anything is.
set -euo pipefail
# One package per line, each with what needs it.
PKGS=(
  build-essential     # compiler and linker
  cmake               # build
  ninja-build         # build
  ccache              # build cache
  qt6-base-dev        # Qt Widgets, Gui, PrintSupport, Test
  qt6-base-dev-tools  # moc, rcc
  qt6-svg-dev         # SVG pictures (Qt SVG)
  libgtest-dev        # tests
  libbenchmark-dev    # bench/
  clang-14            # fuzz/ (libFuzzer)
  libclang-rt-14-dev  # fuzz/ sanitizer runtimes
  fonts-liberation    # item and report fonts
  fonts-symbola       # symbol items
  fonts-dejavu-core   # symbol fallback, drag cursors
  fonts-dejavu        # item text: Latin, Greek, Cyrillic, Hebrew, Arabic
  fonts-noto-cjk      # item text: Chinese, Japanese, Korean (tests)
  xvfb                # end-to-end checks
  xdotool             # end-to-end checks
  xclip               # end-to-end checks: text pasted in scripts the keymap lacks
  imagemagick         # end-to-end screenshots
  poppler-utils       # pdftoppm in report tests
  libdbd-xbase-perl   # dbf_dump in xbase interop tests
  python3-dbf         # xbase interop tests
  glabels-data        # label stocks the template import reads (tests)
  cups                    # print checks: a private CUPS server
  cups-filters            # print checks: the generic PDF queue and its filters
  printer-driver-cups-pdf # print checks: the cups-pdf queue
  libzint-dev             # barcodes and 2D codes (zint)
  zbar-tools              # barcode checks: zbarimg decodes printed codes
  dmtx-utils              # barcode checks: dmtxread decodes Data Matrix
  python3-zxing-cpp       # barcode checks: ZXing decodes PDF417
  python3-pil             # barcode checks: images for ZXing
)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${1:-}" = "--check" ]; then
  [ ${#missing[@]} -eq 0 ] && { echo "install-deps: nothing to install"; exit 0; }
  echo "install-deps: would install: ${missing[*]}"
  exit 1
fi
[ ${#missing[@]} -eq 0 ] && exit 0
echo "install-deps: installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
# A name that still reads as missing would make every later run install again.
exec bash "$0" --check
