#!/usr/bin/env bash
# Sets up what is missing, builds Release and runs the program.
#   ./run.sh PATH...   converts PATH... (JPEG files, or folders, all in one folder)
#   ./run.sh           with a display: opens the main window on a fresh copy of the sample
#                      images; without one: converts such a copy and checks the PDFs
# Works without a display: messages then go to standard error.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build -j "$(nproc)" --target Korvelin make_samples
if [ $# -gt 0 ]; then
  exec build/bin/Korvelin "$@"
fi

# The sample run: images, settings and work files all in one temporary folder.
tmp="$(mktemp -d "${TMPDIR:-/tmp}/korvelin-sample.XXXXXX")"
mkdir "$tmp/images" "$tmp/work"
build/bin/make_samples "$tmp/images"
# A settings file of its own that writes the log (and does not open it).
printf '[PageInfo]\r\nnShowDlg=0\r\n[Settings]\r\nnMakeLog=1\r\nnShowLog=0\r\n' \
  > "$tmp/Korvelin.ini"

# With a display the window opens on the sample folder (the program's own settings folder and
# work folder, as a user would have them); the conversion is made from there.
display=0
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] &&
   [ "${QT_QPA_PLATFORM:-}" != offscreen ] && [ "${QT_QPA_PLATFORM:-}" != minimal ]; then
  display=1
fi
if [ "$display" -eq 1 ]; then
  echo "== Opening the main window on the sample images in $tmp/images"
  exec build/bin/Korvelin --folder "$tmp/images"
fi

status=0
KORVELIN_CONFIG_DIR="$tmp" KORVELIN_WORK_DIR="$tmp/work" \
  build/bin/Korvelin "$tmp"/images/*.jpg || status=$?

echo "== Sample run in $tmp (exit status $status)"
echo "Images and PDFs:"
find "$tmp/images" -maxdepth 1 -type f \( -name '*.jpg' -o -name '*.pdf' \) | sort | sed 's/^/  /'
echo "Log (Shift_JIS, CR LF):"
find "$tmp/images" -maxdepth 1 -type f -name '*.csv' | sort | sed 's/^/  /'
if command -v qpdf > /dev/null; then
  for pdf in "$tmp"/images/*.pdf; do
    qpdf --check "$pdf" > /dev/null || { echo "qpdf --check failed: $pdf"; status=1; }
  done
  [ "$status" -ne 0 ] || echo "qpdf --check: every PDF is clean"
fi
exit "$status"
