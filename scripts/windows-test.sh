#!/usr/bin/env bash
# Builds the suite for Windows with mingw-w64 and runs its tests under wine.
#
#   build-win64      the Windows backend: Kelvalib.dll, the tools, the backend's own tests
#   build-win64-sim  the simulated host, cross-built: the library's, the host's and the tools'
#                    suites, proving the core and the simulated host portable
#   build-win32      Plantdrv64.exe for 32-bit Windows; built, not run (that needs 32-bit wine;
#                    the 64-bit build of the same sources runs in build-win64)
#
# The wine prefix lies in build-win64/wineprefix. Its server is started first and ended
# afterwards, so that no test waits for it to come up or go down.
set -euo pipefail
cd "$(dirname "$0")/.."

JOBS=${JOBS:-$(nproc)}
./scripts/install-deps.sh base windows

configure() {
  local dir=$1 toolchain=$2
  shift 2
  # No debug information: nobody reads it here, and the cross linker is much faster without it.
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O0 -DCMAKE_C_FLAGS_DEBUG=-O0 \
    -DCMAKE_TOOLCHAIN_FILE="cmake/$toolchain.cmake" "$@"
}

configure build-win64 mingw-w64-x86_64
cmake --build build-win64 -j "$JOBS"
configure build-win64-sim mingw-w64-x86_64 -DKV_FORCE_SIM=ON
cmake --build build-win64-sim -j "$JOBS"
if [ -f installer/CMakeLists.txt ]; then
  configure build-win32 mingw-w64-i686 -DKV_BUILD_TESTS=OFF
  cmake --build build-win32 -j "$JOBS" --target Plantdrv64
fi

export WINEPREFIX="$PWD/build-win64/wineprefix"
export WINEDEBUG=-all
# No .NET or HTML engine downloads when the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="
# No display: a message box fails at once instead of waiting for a click.
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$WINEPREFIX"
wineserver -p
trap 'wineserver -k || true' EXIT
# The first program brings up the prefix and its services, which live on until the server ends:
# they must not hold the output of this script or of CTest open.
echo "Starting wine in $WINEPREFIX"
wine cmd /c exit </dev/null >"$WINEPREFIX/start.log" 2>&1 || { cat "$WINEPREFIX/start.log"; exit 1; }

status=0
for dir in build-win64 build-win64-sim; do
  ctest --test-dir "$dir" --timeout 60 --output-on-failure -j "$JOBS" || status=1
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
exit $status
