#!/usr/bin/env bash
# Builds Qt for 64-bit Windows (mingw-w64) once, from Debian's qt6-base source package, into a
# cache folder outside the checkout, and reuses it afterwards. Prints the folder on standard output
# (what it does on standard error).
#
#   scripts/build-qt-mingw.sh               build when the cache is missing or was made otherwise
#   scripts/build-qt-mingw.sh --background  fetch the source now, build at the lowest priority in
#                                           the background (make test: the build takes the time
#                                           the other steps leave unused)
#   KV_QT_MINGW=/some/dir scripts/...       another cache folder
#
# One build at a time: a second start waits for the one under way (the lock beside the folder),
# then reuses its result.
# Only what the utility and its tests use: Core, Gui, Widgets, Test, the Windows platform plugin,
# the minimal one (the Qt Test suites: no window on the screen, text through the system's fonts,
# where the offscreen plugin of Windows finds none), the Windows Vista style. The host Qt (qt6-base-dev, the
# same version) provides moc, rcc and uic. Release, shared libraries, the project's own mingw-w64
# toolchain file, so the DLLs link their C++ runtime statically like every other program of the
# suite and nothing beyond the Qt files has to sit beside the utility.
set -euo pipefail

QT_VERSION=6.4.2
here="$(cd "$(dirname "$0")/.." && pwd)"
prefix="${KV_QT_MINGW:-$HOME/.cache/kelvadiag/qt6-mingw-$QT_VERSION}"
JOBS=${JOBS:-$(nproc)}
background=0
[ "${1:-}" = "--background" ] && background=1
work="$prefix.work"

# The configuration: a cache made with other options is built again.
options=(
  -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake"
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF -DQT_BUILD_MANUAL_TESTS=OFF
  # Modules the utility does not use.
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_testlib_selfcover=OFF
  # Image formats: the utility's images are PNG, built into Gui.
  -DFEATURE_imageformatplugin=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF
  # The Windows plugin draws text with GDI and DirectWrite; no second platform plugin on Direct2D.
  -DFEATURE_direct2d=OFF -DFEATURE_direct2d1_1=OFF -DFEATURE_vulkan=OFF
  # Debian's source leaves out the tablet header the Windows plugin would include.
  -DFEATURE_tabletevent=OFF
  # The Windows plugin of this version does not compile without OpenGL.
  -DFEATURE_opengl=ON -DINPUT_opengl=desktop
  # FreeType serves only the offscreen plugin here.
  -DFEATURE_freetype=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
)
# The Windows plugin offers the DirectWrite font database (an opt-in: GDI's is the default) where
# Gui has it, yet Gui builds it only with Direct2D: without Direct2D the plugin leaves it out too.
fix_source() {
  sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
    "$1/src/plugins/platforms/windows/qwindowsintegration.cpp"
}
stamp_text="qt6-base $QT_VERSION (DirectWrite database with Direct2D only); $(printf '%s ' "${options[@]}" | sed "s|$here|<checkout>|g")"

built() { [ -f "$prefix/kelvadiag-qt.stamp" ] && [ "$(cat "$prefix/kelvadiag-qt.stamp")" = "$stamp_text" ]; }
reuse() {
  echo "Qt for mingw-w64: reusing $prefix" >&2
  echo "$prefix"
  exit 0
}
built && reuse

mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
if ! flock -n 9; then
  [ $background -eq 1 ] && exit 0
  echo "Qt for mingw-w64: waiting for the build under way (log: $work/build.log)" >&2
  flock 9
  built && reuse
fi

"$here/scripts/install-deps.sh" base windows utility qt-source >&2

# Debian's source of the host Qt's very version, from a deb-src entry of this script's own.
sources=/etc/apt/sources.list.d/kelvadiag-qt-source.sources
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
if [ ! -f "$sources" ]; then
  $SUDO tee "$sources" >/dev/null <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  $SUDO apt-get update -qq >&2
fi
host_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)

rm -rf "$work" "$prefix"
mkdir -p "$work"
echo "Qt for mingw-w64: fetching qt6-base $host_version into $work" >&2
# apt checked the files against the archive's signed index; dpkg-source has no key to check the
# description's own signature with and only says so.
(cd "$work" && apt-get source -qq --download-only "qt6-base=$host_version") >"$work/fetch.log" 2>&1 ||
  { cat "$work/fetch.log" >&2; exit 1; }

build() {
  local started
  started=$(date +%s)
  dpkg-source -x "$work"/*.dsc "$work/src" >"$work/unpack.log" 2>&1 || { tail -20 "$work/unpack.log" >&2; return 1; }
  fix_source "$work/src"
  echo "Qt for mingw-w64: configuring (log: $work/configure.log)" >&2
  cmake -S "$work/src" -B "$work/build" "${options[@]}" -DCMAKE_INSTALL_PREFIX="$prefix" \
    >"$work/configure.log" 2>&1 || { tail -40 "$work/configure.log" >&2; return 1; }
  echo "Qt for mingw-w64: building with $JOBS jobs (log: $work/build.log)" >&2
  cmake --build "$work/build" -j "$JOBS" >"$work/build.log" 2>&1 || { tail -40 "$work/build.log" >&2; return 1; }
  cmake --install "$work/build" >"$work/install.log" 2>&1 || { tail -40 "$work/install.log" >&2; return 1; }
  printf '%s' "$stamp_text" >"$prefix/kelvadiag-qt.stamp"
  rm -rf "$work"
  echo "Qt for mingw-w64: built in $(($(date +%s) - started)) s, $(du -sh "$prefix" | cut -f1) in $prefix" >&2
}

if [ $background -eq 1 ]; then
  # The lock goes with the background build (its copy of descriptor 9) until it ends.
  nice -n 19 bash -c "$(declare -f build fix_source); $(declare -p work prefix options stamp_text JOBS); build" \
    >"$prefix.log" 2>&1 </dev/null &
  echo "Qt for mingw-w64: building in the background (log: $prefix.log)" >&2
  exit 0
fi
build
echo "$prefix"
