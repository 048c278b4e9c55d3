#!/usr/bin/env bash
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh

JOBS=$(nproc)
BUILD=build

configure_and_build() {
    cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$BUILD" -j "$JOBS"
}

case "${1:-}" in
demo)
    ensure_packages "${BUILD_PACKAGES[@]}" "${DEMO_PACKAGES[@]}"
    configure_and_build
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        exec "$BUILD/src/app/tamsel-demo"
    else
        exec xvfb-run -a -s "-screen 0 1024x768x24" "$BUILD/src/app/tamsel-demo"
    fi
    ;;
test)
    ensure_packages "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    exec scripts/test-all.sh
    ;;
package)
    ensure_packages "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
    exec scripts/package.sh "${@:2}"
    ;;
*)
    echo "usage: ./dev.sh demo | ./dev.sh test | ./dev.sh package [deb|windows]" >&2
    exit 2
    ;;
esac
