#!/usr/bin/env bash
# Builds the packages a user installs, into out/. One function per target:
#   scripts/package.sh deb   tamsel_<version>_amd64.deb and tamsel-demo_<version>_amd64.deb,
#                            from the native build in build/ (the default target)
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

case "${1:-deb}" in
deb) package_deb ;;
*)
    echo "usage: scripts/package.sh [deb]" >&2
    exit 2
    ;;
esac
