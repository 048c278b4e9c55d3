#!/usr/bin/env bash
# Builds the packages a user installs, into out/. One function per target:
#   scripts/package.sh deb       tamsel_<version>_amd64.deb and tamsel-demo_<version>_amd64.deb,
#                                from the native build in build/ (the default target)
#   scripts/package.sh windows   tamsel-win64.zip, the whole program for 64-bit Windows, from the
#                                cross-build in build-winqt/ against Qt for Windows
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=out
JOBS=$(nproc)

package_deb() {
    # The packages install under /usr; the same build directory serves the tests.
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
          >/dev/null
    cmake --build build -j "$JOBS"
    local work=build/packaging/cpack
    rm -rf "$work"
    cpack --config build/CPackConfig.cmake -G DEB -B "$PWD/$work" >/dev/null
    mkdir -p "$OUT"
    rm -f "$OUT"/tamsel*_*.deb
    mv "$work"/*.deb "$OUT"/
    ls -1 "$OUT"/tamsel*_*.deb
}

package_windows() {
    # Qt for Windows comes from scripts/qt-windows.sh, built once into a cache folder; its
    # toolchain file chains to ours. The same build directory serves the Windows tests.
    local qt
    qt=$(scripts/qt-windows.sh)
    cmake -S . -B build-winqt -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
          -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" >/dev/null
    cmake --build build-winqt -j "$JOBS"
    local stage=build-winqt/packaging/tamsel-win64
    rm -rf "$stage"
    cmake --install build-winqt --prefix "$stage" --strip >/dev/null
    mkdir -p "$OUT"
    rm -f "$OUT/tamsel-win64.zip"
    (cd "$stage" && zip -q -r -X "$OLDPWD/$OUT/tamsel-win64.zip" .)
    echo "$OUT/tamsel-win64.zip"
}

case "${1:-deb}" in
deb) package_deb ;;
windows) package_windows ;;
*)
    echo "usage: scripts/package.sh [deb|windows]" >&2
    exit 2
    ;;
esac
