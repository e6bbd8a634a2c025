#!/usr/bin/env bash
# Builds the suite for Windows with mingw-w64 and runs its tests under wine.
#
#   build-win32      Plantdrv64.exe for 32-bit Windows; built, not run (that needs 32-bit wine;
#                    the 64-bit build of the same sources runs in build-win64)
#   build-win64      the Windows backend: Kelvalib.dll, the tools, Kelvadiag.exe with its Qt files,
#                    Kelvadiag-setup.exe, the backend's own tests and the utility's Windows paths
#   build-win64-sim  the simulated host, cross-built: the library's, the host's, the tools' and the
#                    utility's suites, proving the core, the simulated host and the utility portable
#
# Qt for mingw-w64 comes from scripts/build-qt-mingw.sh: built once into a cache folder outside
# the checkout, reused afterwards.
#
# Two wine prefixes, each with its server started first and ended afterwards, so that no test
# waits for one to come up or go down:
#   build-win64/wineprefix          no display: a message box fails at once instead of waiting
#                                   for a click (the backend's and the library's suites)
#   build-win64/wineprefix-display  a virtual display (Xvfb): the suites labelled "display" (the
#                                   utility's, which make windows, and the installer's)
#
# Usage: windows-test.sh                 builds, then tests
#        windows-test.sh --build         only builds (build-win64/Kelvadiag-setup.exe among the rest)
#        windows-test.sh --screenshots   builds, then takes the pictures of docs/screenshots/windows/
set -euo pipefail
cd "$(dirname "$0")/.."

JOBS=${JOBS:-$(nproc)}
./scripts/install-deps.sh base windows installer
qt=$(./scripts/build-qt-mingw.sh)

configure() {
  local dir=$1 toolchain=$2
  shift 2
  # No debug information: nobody reads it here, and the cross linker is much faster without it.
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O0 -DCMAKE_C_FLAGS_DEBUG=-O0 \
    -DCMAKE_TOOLCHAIN_FILE="cmake/$toolchain.cmake" "$@" >/dev/null
}

# The 32-bit Plantdrv64.exe first: the installer of build-win64 takes it.
configure build-win32 mingw-w64-i686 -DKV_BUILD_TESTS=OFF
cmake --build build-win32 -j "$JOBS" --target Plantdrv64
configure build-win64 mingw-w64-x86_64 -DKV_QT_MINGW="$qt" -DKV_BUILD_UTILITY=ON -DKV_PLANTDRV64="$PWD/build-win32/bin/Plantdrv64.exe"
cmake --build build-win64 -j "$JOBS"
configure build-win64-sim mingw-w64-x86_64 -DKV_QT_MINGW="$qt" -DKV_BUILD_UTILITY=ON -DKV_FORCE_SIM=ON
cmake --build build-win64-sim -j "$JOBS"
[ "${1:-}" = "--build" ] && exit 0

export WINEDEBUG=-all
# No .NET or HTML engine downloads when a prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
servers=()
xvfb=""
cleanup() {
  for prefix in "${servers[@]}"; do WINEPREFIX=$prefix wineserver -k || true; done
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT

# Starts the server of a prefix and brings the prefix up. The first program starts its services,
# which live on until the server ends: they must not hold the output of this script or of CTest.
start_prefix() {
  export WINEPREFIX=$1
  mkdir -p "$WINEPREFIX"
  wineserver -p
  servers+=("$WINEPREFIX")
  echo "Starting wine in $WINEPREFIX"
  wine cmd /c exit </dev/null >"$WINEPREFIX/start.log" 2>&1 || { cat "$WINEPREFIX/start.log"; exit 1; }
}

# A virtual display of its own, on the first free display number. Wine's desktop keeps the
# notification area there (Shell_NotifyIcon's icons).
start_display_prefix() {
  local number
  exec {fd}< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null & echo "pid $!")
  read -r -u "$fd" _ xvfb
  read -r -u "$fd" number
  export DISPLAY=":$number"
  start_prefix "$1"
  # The faces wine's own settings name (the message font, the dialog font's substitute: Tahoma)
  # come with fonts-wine, which this wine does not read from its data folder: the prefix's Fonts
  # folder gets them, or the utility's text falls back to a serif face.
  ln -sf /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
}

if [ "${1:-}" = "--screenshots" ]; then
  start_display_prefix "$PWD/build-win64/wineprefix-display"
  ./scripts/windows-screenshots.sh build-win64-sim docs/screenshots/windows
  exit 0
fi

# A test that fails under wine runs once more before it counts as failed: on a loaded machine wine
# has been seen to lose a process now and then (no output, exit status -1), which Windows does not.
# Each failure is still printed, and a second failure fails the run.
retry=(--repeat until-pass:2)
status=0
start_prefix "$PWD/build-win64/wineprefix"
for dir in build-win64 build-win64-sim; do
  ctest --test-dir "$dir" -LE display --timeout 60 --output-on-failure -j "$JOBS" "${retry[@]}" || status=1
done

# The Windows build's capture of this computer (no protocol driver here) is a machine directory
# the simulated host loads: the simulated build captures its replay again, to the same machine.
# The simulated host maps drive paths into its machine, so its target is relative; its files have
# bare line feeds where the Windows build writes text-mode line ends.
capture="$PWD/build-win64/capture-check"
rm -rf "$capture"
mkdir -p "$capture"
if wine build-win64/bin/Kelvacapture.exe "$(winepath -w "$capture/here")" </dev/null >/dev/null &&
  (cd "$capture" && KELVA_MACHINE="$(winepath -w "$capture/here")" KELVA_CLOCK=virtual \
    wine ../../build-win64-sim/bin/Kelvacapture.exe replayed </dev/null >/dev/null) &&
  cmp -s <(tr -d '\r' <"$capture/here/machine.json") <(tr -d '\r' <"$capture/replayed/machine.json"); then
  echo "Capture check: the Windows build's capture replays on the simulated host"
else
  echo "Capture check failed: see $capture"
  status=1
fi

start_display_prefix "$PWD/build-win64/wineprefix-display"
for dir in build-win64 build-win64-sim; do
  ctest --test-dir "$dir" -L display --output-on-failure -j "$JOBS" "${retry[@]}" || status=1
done
exit $status
