#!/usr/bin/env bash
# Takes the pictures of docs/screenshots/windows/ with the screenshot program of the cross-built
# simulated host, running under wine on the Windows platform plugin: the main window on the
# default machine and two of its pages, as Windows draws them. Run by
# `scripts/windows-test.sh --screenshots` (make windows-screenshots), which brings up wine on a
# virtual display first.
# Usage: windows-screenshots.sh <build-win64-sim folder> <output folder>
set -euo pipefail

build=$1
out=$2
mkdir -p "$out"
# Wine passes no QT_ variable on to the program: the plugin goes on the command line.
wine "$build/bin/kelvadiag_screenshots.exe" "$(winepath -w "$out")" -platform windows \
  kelvadiag general-adapter0 driver-adapter0 </dev/null
