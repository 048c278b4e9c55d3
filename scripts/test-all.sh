#!/usr/bin/env bash
# Every test of the project: the native build and its tests, then the Windows build and its
# tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
JOBS=$(nproc)

echo "== native build and tests"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$JOBS"
ctest --test-dir build --output-on-failure -j "$JOBS"

# Each benchmark once, briefly, so that none can rot; no timing is judged here (scripts/bench.sh
# measures them in a Release build). The read-loop memory check runs for two seconds only.
echo "== benchmarks, one brief run each"
for b in bench_graph bench_loop; do
    build/bench/$b --benchmark_min_time=0.01 >/dev/null 2>&1
done
build/bench/loop_soak 2 >/dev/null 2>&1
echo "benchmarks ran"

# The standard-library layers for 32-bit Windows, and their tests under Wine in a prefix of
# their own, headless. A host that cannot execute 32-bit programs cannot start the 32-bit Wine
# loader; there the 32-bit build is still compiled, and the same tests run from a 64-bit
# Windows build under the 64-bit loader.
echo "== Windows cross-build and tests under Wine"
windows_build() { # build-dir toolchain
    cmake -S . -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMSEL_STD_ONLY=ON \
          -DCMAKE_TOOLCHAIN_FILE="cmake/$2.cmake" >/dev/null
    cmake --build "$1" -j "$JOBS"
}
windows_build build-win32 mingw-i686
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    wine_build=build-win32 wine_loader=/usr/lib/wine/wine
else
    echo "(this host cannot run 32-bit programs: the tests run from the 64-bit Windows build)"
    windows_build build-win64 mingw-x86_64
    wine_build=build-win64 wine_loader=/usr/lib/wine/wine64
fi
unset DISPLAY WAYLAND_DISPLAY
export WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d"
WINEPREFIX=$(mktemp -d -t tamsel-wine.XXXXXX)
export WINEPREFIX
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT
"$wine_loader" wineboot -i >/dev/null 2>&1
timeout 120 wineserver -w || true
ctest --test-dir "$wine_build" --output-on-failure -j "$JOBS"
