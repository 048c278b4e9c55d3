#!/usr/bin/env bash
# Every test of the project: the native build and its tests, its Debian packages, then the
# Windows builds and their tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
JOBS=$(nproc)
# Every compilation goes through ccache, whose store lies outside the repository beside the other
# long builds: a second run, or a fresh clone, compiles only what changed. Paths are taken
# relative to the clone, so that clones in other folders share one store.
if command -v ccache >/dev/null; then
    export CCACHE_DIR=${TAMSEL_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tamsel}/ccache
    export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1 CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-8G}
    export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi

echo "== native build and tests"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$JOBS"
ctest --test-dir build --output-on-failure -j "$JOBS"
# A test skipped because this machine cannot run it says why in its output.
grep -h '^SKIPPED: ' build/Testing/Temporary/LastTest.log || true

# Each benchmark once, briefly, so that none can rot; no timing is judged here (scripts/bench.sh
# measures them in a Release build). The read-loop memory check runs for two seconds only, the
# preferences writes killed at random moments for twenty rounds.
echo "== benchmarks, one brief run each"
for b in bench_graph bench_loop bench_cli; do
    build/bench/$b --benchmark_min_time=0.01 >/dev/null 2>&1
done
build/bench/loop_soak 2 >/dev/null 2>&1
build/bench/profile_kill_soak 20 >/dev/null
echo "benchmarks ran"

# The Debian packages, made from the same build, checked as a user gets them (see
# tests/packaging/check_deb.sh).
echo "== Debian packages"
scripts/package.sh deb
tests/packaging/check_deb.sh build out

# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer: any report aborts
# the test that raised it. Leaks are reported too; the font library's allocations kept until
# exit are listed in scripts/lsan.supp (library frames only).
echo "== native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMSEL_SANITIZE=ON \
      -DTAMSEL_BENCHMARKS=OFF >/dev/null
cmake --build build-asan -j "$JOBS"
ASAN_OPTIONS="abort_on_error=1:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1" \
LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0" \
UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1" \
    ctest --test-dir build-asan --output-on-failure -j "$JOBS"

# The libFuzzer targets, each for a bounded time from its seed corpus in fuzz/corpus/NAME
# (the seeds always run first, so a crash input copied there stays a regression case). New
# inputs go to build-fuzz/corpus/NAME; a crash stops the run and leaves its input in
# build-fuzz/crashes/NAME/.
echo "== fuzzers"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DTAMSEL_FUZZERS=ON -DTAMSEL_SANITIZE=ON -DTAMSEL_BENCHMARKS=OFF >/dev/null
cmake --build build-fuzz -j "$JOBS" --target fuzzers
for name in profile convert addr graph; do
    mkdir -p "build-fuzz/corpus/$name" "build-fuzz/crashes/$name"
    echo "-- fuzz_$name"
    if ! ASAN_OPTIONS="abort_on_error=1:detect_leaks=1" \
         LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0" \
         UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1" \
         "build-fuzz/fuzz/fuzz_$name" -max_total_time="${FUZZ_SECONDS:-12}" -timeout=10 \
             -print_final_stats=1 -artifact_prefix="build-fuzz/crashes/$name/" \
             "build-fuzz/corpus/$name" "fuzz/corpus/$name" 2>"build-fuzz/fuzz_$name.log"; then
        tail -n 60 "build-fuzz/fuzz_$name.log"
        echo "fuzz_$name failed; its input is in build-fuzz/crashes/$name/" >&2
        exit 1
    fi
    grep -E '^#[0-9]+ +DONE|stat::number_of_executed_units|stat::average_exec_per_sec' \
        "build-fuzz/fuzz_$name.log" || true
done

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
wine_ctest() { # build-dir
    local wine_log="$WINEPREFIX/ctest.log"
    if ! ctest --test-dir "$1" --output-on-failure -j "$JOBS" 2>&1 | tee "$wine_log"; then
        # A client losing its server connection is Wine failing, not the test: such tests get
        # one more run. Any other failure stands.
        grep -q 'wine client error' "$wine_log" || exit 1
        echo "(a Wine client lost its server connection: the failed tests run once more)"
        ctest --test-dir "$1" --output-on-failure --rerun-failed
    fi
}
wine_ctest "$wine_build"

# The whole program for 64-bit Windows, against Qt for Windows cross-built from Debian's own
# source (scripts/qt-windows.sh builds it once into a cache folder outside the repository), into
# the zip a Windows user unpacks; every test of that build under Wine on the offscreen platform;
# the zip unpacked into a fresh folder and its tamsel-demo.exe started; tamsel.exe end to end on
# the windows platform, with the stand-in port driver beside it; and the programs from folders
# named in Cyrillic and in Chinese.
echo "== the whole program for 64-bit Windows, its tests under Wine"
scripts/package.sh windows
wine_ctest build-winqt
tests/packaging/check_zip.sh out/tamsel-win64.zip
tests/app/windows/end_to_end.sh out/tamsel-win64.zip build-winqt
tests/app/windows/foreign_folders.sh out/tamsel-win64.zip build-winqt
