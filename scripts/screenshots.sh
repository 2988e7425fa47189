#!/usr/bin/env bash
# Makes the README's pictures with the program itself, offscreen: the main window with two guests
# (from its widget test) and the print preview of their cards (from the printing test, which runs
# a print server of its own). Writes docs/main_window.png and docs/card_preview.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/deps.sh" test
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j "$(nproc)" --target tst_main_unit tst_printcards
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 TOVARO_SCREENSHOT_DIR=$shots
"$root/build/tests/tst_main_unit" --gtest_filter='MainWindow.screenshotLooksFinished' >/dev/null
"$root/build/tests/tst_printcards" --gtest_filter='PrintCards.printAllSendsOneUprightCardPerGuestToTheQueue' >/dev/null
[ -f "$shots/card_preview.png" ] || { echo "screenshots: the printing test made no preview picture" >&2; exit 1; }
mkdir -p "$root/docs"
cp "$shots/main_window.png" "$shots/card_preview.png" "$root/docs/"
ls -l "$root/docs/main_window.png" "$root/docs/card_preview.png"
