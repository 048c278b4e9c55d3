#!/usr/bin/env bash
# Qt for 64-bit Windows, cross-built from Debian's own qt6-base source with the mingw-w64 posix
# compilers, the host's moc, rcc and uic serving the build (QT_HOST_PATH=/usr). The result lands
# in a cache folder outside the repository, keyed by the Qt version, these options, the patches,
# the toolchain file and the compiler; a finished build is reused, a half-built one never is.
#
#   scripts/qt-windows.sh          build when missing; print the install prefix
#   scripts/qt-windows.sh --prefix print the prefix it would use, without building
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

QT_SOURCE_PACKAGE=qt6-base
QT_VERSION=$(dpkg-query -W -f='${Version}' qt6-base-dev)   # the version the Linux build uses
CXX_CROSS=x86_64-w64-mingw32-g++-posix

# Core, Gui and Widgets as shared libraries, the windows and offscreen platform plugins, the
# bundled image, text and compression libraries, and nothing else.
QT_OPTIONS=(
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DQT_GENERATE_SBOM=OFF
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_testlib=OFF -DFEATURE_vulkan=OFF
    # The wintab header is not part of Debian's source: no tablet events.
    -DFEATURE_tabletevent=OFF
    # Without INPUT_opengl=no the windows plugin still compiles dynamic OpenGL.
    -DFEATURE_opengl=OFF -DINPUT_opengl=no
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_jpeg=OFF
    -DFEATURE_freetype=ON -DFEATURE_harfbuzz=ON -DFEATURE_zstd=OFF -DFEATURE_jpeg=OFF
    -DFEATURE_gif=OFF -DFEATURE_ico=ON -DFEATURE_sql_sqlite=OFF
    -DFEATURE_icu=OFF -DFEATURE_glib=OFF -DFEATURE_fontconfig=OFF
)

# Qt is built once per key below; its compilations do not go through the suite's ccache.
unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
cache_root=${TAMSEL_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tamsel}
key=$( { echo "$QT_SOURCE_PACKAGE $QT_VERSION"; printf '%s\n' "${QT_OPTIONS[@]}";
         cat "$here/../cmake/mingw-x86_64.cmake" "$here"/qt-windows-patches/*.patch 2>/dev/null;
         $CXX_CROSS --version | head -n 1; } | sha256sum | cut -c1-12)
prefix="$cache_root/qt-$QT_VERSION-win64-$key"

if [ "${1:-}" = --prefix ]; then
    echo "$prefix"
    exit 0
fi
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi
# One build at a time: a second run waits for the first and then reuses what it built, instead
# of deleting its half-built tree.
mkdir -p "$cache_root"
exec 9>"$prefix.lock"
flock 9
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

log() { echo "qt-windows: $*" >&2; }
log "building Qt $QT_VERSION for Windows into $prefix (about a quarter of an hour on 2 cores)"
rm -rf "$prefix"
work="$cache_root/qt-$QT_VERSION-win64-$key.work"
rm -rf "$work"
mkdir -p "$work"

# The source, with a deb-src entry of our own naming the archive apt already uses; the host's
# apt configuration and caches are left alone.
archive=$(awk '/^URIs:/ && !u {u=$2} /^Suites:/ && !s {s=$2} END {print u, s}' \
              /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
if [ -z "${archive// /}" ]; then
    archive=$(awk '$1 == "deb" {print $2, $3; exit}' /etc/apt/sources.list)
fi
apt_dir="$work/apt"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
echo "deb-src $archive main" >"$apt_dir/sources.list"
apt_opts=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
          -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
          -o APT::Get::List-Cleanup=0 -o APT::Sandbox::User=root)
log "fetching the source of $QT_SOURCE_PACKAGE $QT_VERSION from $archive"
apt-get -qq "${apt_opts[@]}" update
(cd "$work" && apt-get -qq "${apt_opts[@]}" source "$QT_SOURCE_PACKAGE=$QT_VERSION" >/dev/null)
src=$(find "$work" -maxdepth 1 -type d -name "$QT_SOURCE_PACKAGE-*" | head -n 1)

for p in "$here"/qt-windows-patches/*.patch; do
    [ -e "$p" ] || continue
    log "patch $(basename "$p")"
    patch -d "$src" -p1 --forward --quiet <"$p"
done

# Qt's installed toolchain file loads the one Qt was configured with by its absolute path, so
# that one lives inside the installation rather than in this checkout.
toolchain="$prefix/lib/cmake/tamsel-mingw-x86_64.cmake"
mkdir -p "$(dirname "$toolchain")"
cp "$here/../cmake/mingw-x86_64.cmake" "$toolchain"

log "configuring"
cmake -S "$src" -B "$work/build" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DCMAKE_CROSSCOMPILING_EMULATOR= \
      -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
      -DCMAKE_INSTALL_PREFIX="$prefix" "${QT_OPTIONS[@]}" >"$work/configure.log" 2>&1 ||
    { tail -n 40 "$work/configure.log" >&2; exit 1; }
log "building"
cmake --build "$work/build" -j "$(nproc)" >"$work/build.log" 2>&1 ||
    { grep -m 20 -B 2 -A 12 'FAILED' "$work/build.log" >&2 || tail -n 40 "$work/build.log" >&2; exit 1; }
cmake --install "$work/build" >"$work/install.log" 2>&1 ||
    { tail -n 40 "$work/install.log" >&2; exit 1; }
date -u +%FT%TZ >"$prefix/.complete"
rm -rf "$work"
log "done"
echo "$prefix"
