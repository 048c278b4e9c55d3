#!/usr/bin/env bash
# The programs under Wine, unpacked from the zip into folders named in scripts that the system's
# ANSI code page lacks (Cyrillic, Chinese), with the stand-in port driver beside them as
# zlportio.sys, each started from elsewhere. In each folder:
#  - tamsel-demo.exe writes its default preferences beside itself, and saves them at its close;
#  - tamsel-cli-demo.exe detect reads them (LPT2 set there to the bench port is found), and
#    reads another file of that folder named by --ini with its full path;
#  - tamsel.exe installs the "zlportio" service with the driver file of that folder and starts
#    it (the driver's device answers), and removes it at its close.
#   tests/app/windows/foreign_folders.sh out/tamsel-win64.zip build-winqt
set -euo pipefail
zip=$(realpath "$1")
build=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_session.sh"
wine_session "$0" "$@"

windows_path() { echo "Z:$(tr '/' '\\' <<<"$1")"; }
# detect_finds LPTn ARGS...: tamsel-cli-demo's search finds LPTn at the bench's $378.
detect_finds() {
    local lpt=$1 detected
    shift
    detected=$($WINE "$dir/tamsel-cli-demo.exe" "$@" detect | tr -d '\r')
    grep -qxF "[$lpt] Valeur lue = Valeur écrite : port détecté à l'adresse \$378" \
        <<<"$detected" || fail "$name: tamsel-cli-demo.exe $* detect:
$detected"
}

for name in "Банк" "測試"; do
    dir="$work/Outils $name"
    mkdir "$dir"
    unzip -q "$zip" -d "$dir"
    cp "$build/src/port/zlportio-standin.sys" "$dir/zlportio.sys"
    cd /

    $WINE "$dir/tamsel-demo.exe" &
    program=$!
    wait_for "tamsel-demo.ini in $name" 60 test -s "$dir/tamsel-demo.ini"
    wait_for_window '^Tamsel - démo' >/dev/null
    close_program tamsel-demo.exe "$program"
    grep -q '^\[WriteTest\]' "$dir/tamsel-demo.ini" || fail "$name: the close saved nothing"

    sed -i 's/^LPT002Addr=632/LPT002Addr=888/' "$dir/tamsel-demo.ini"
    detect_finds LPT2
    sed 's/^LPT003Addr=956/LPT003Addr=888/' "$dir/tamsel-demo.ini" >"$dir/autre $name.ini"
    detect_finds LPT3 --ini "$(windows_path "$dir/autre $name.ini")"
    echo "$name: tamsel-demo.exe saved its preferences there; tamsel-cli-demo.exe read them," \
         "and another file of the folder named by --ini"

    $WINE "$dir/tamsel.exe" &
    program=$!
    wait_for_window >/dev/null
    expected="running $(windows_path "$dir")\\zlportio.sys"
    wait_for "the service started from $name" 60 test "$(probe service)" = "$expected" ||
        fail "$name: service: $(probe service) (expected $expected)"
    [ "$(probe read 0x378)" != "no device" ] || fail "$name: the driver's device does not answer"
    close_program tamsel.exe "$program"
    wait_for "the service's removal" 30 test "$(probe service)" = absent
    echo "$name: tamsel.exe installed and started the driver from there, and removed it"
done
