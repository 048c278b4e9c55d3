#!/usr/bin/env bash
# tamsel.exe end to end under Wine, as a Windows user runs it: unpacked from the zip into a
# fresh folder whose name has accents, with the stand-in port driver beside it as zlportio.sys,
# started from elsewhere on the windows platform under Xvfb, in a fresh Wine prefix. Checks:
#  - at start it installs the "zlportio" service from its folder and starts it; detection logs
#    LPT1 found at $378 with the program's lines (the log's own text, copied from the window);
#  - the default tamsel.ini appears beside it;
#  - "Lisez-moi" opens A_Lire.txt through the shell;
#  - "Ouvrir" starts reading, and a click on the D0 switch reaches the stand-in's port: its data
#    register holds 1, and its loopback raises Error in the status register;
#  - closing saves the preferences, and the service is stopped and removed.
# Then the program's second way to the ports, our stand-in inpoutx64.dll, each case in a fresh
# folder unpacked from the zip:
#  - with only the library beside it: LPT1 found at $378, "Ouvrir", and a D0 click reaching the
#    library's data register; a second copy (tamsel-cli) started meanwhile leaves that port
#    alone and says why;
#  - with a zlportio.sys whose start fails with 1275 and the library: the fall-back to the
#    library, and the driver's reason in tamsel-cli -v's report;
#  - with neither: the refusal's reason and remedy in the window's log, and in tamsel-cli -v's
#    report, started from a current directory that holds the library, which is not loaded.
# Screenshots: BUILD/tamsel-windows.png (the driver, port open), BUILD/tamsel-windows-inpout.png
# (the library, port open), BUILD/tamsel-windows-refused.png (no way at all).
#   tests/app/windows/end_to_end.sh out/tamsel-win64.zip build-winqt
set -euo pipefail
zip=$(realpath "$1")
build=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_session.sh"
wine_session "$0" "$@"

dir="$work/Bancs d'essai été"
mkdir "$dir"
unzip -q "$zip" -d "$dir"
cp "$build/src/port/zlportio-standin.sys" "$dir/zlportio.sys"
driver_path="Z:$(tr '/' '\\' <<<"$dir")\\zlportio.sys"

[ "$(probe service)" = absent ] || fail "a zlportio service exists before the start"

cd /
$WINE "$dir/tamsel.exe" &
program=$!
window=$(wait_for_window)
wait_for "the default preferences" 60 test -s "$dir/tamsel.ini"
default_ini=$(cat "$dir/tamsel.ini")

# Places in the window's client area (without a window manager, the X window is exactly that):
# the "Aide" menu and its "Lisez-moi" item, the middle of the toolbar's "Ouvrir" button and of
# the D0 switch, under a menu bar 19 pixels high, and a point inside the event log, above the
# status bar.
eval "$(xdotool getwindowgeometry --shell "$window")"
click() { xdotool mousemove $((X + $1)) $((Y + $2)) sleep 0.2 click 1; }
help_x=213 menu_y=9 readme_x=245 readme_y=59
toolbar_y=40 open_x=373
d0_x=342 d0_y=122
log_x=360 log_y=$((HEIGHT - 60))

# The log's text, copied from the window as a user would: select all, copy.
log_text() {
    click "$log_x" "$log_y"
    xdotool key --clearmodifiers ctrl+a ctrl+c
    sleep 0.5
    probe clipboard
}
log_ends_with() { [ "$(log_text | tail -n 1)" = "$1" ]; }

no_system_port="Windows ne connaît aucun port parallèle (Gestionnaire de périphériques, Ports (COM et LPT))"
wait_for "the end of detection" 60 log_ends_with "$no_system_port"
expected_start="Recherche des ports parallèles disponibles...
[LPT1] Ecriture/Lecture à l'adresse \$378 - Ecriture = 55; Lecture = 55
[LPT1] Valeur lue = Valeur écrite : port détecté à l'adresse \$378
[LPT2] Ecriture/Lecture à l'adresse \$278 - Ecriture = 55; Lecture = FF
[LPT2] Valeur lue <> Valeur écrite : port non détecté à l'adresse \$278
[LPT3] Ecriture/Lecture à l'adresse \$3BC - Ecriture = 55; Lecture = FF
[LPT3] Valeur lue <> Valeur écrite : port non détecté à l'adresse \$3BC
[LPT4] Port ignoré (adresse spécifiée = \$000)
[LPT5] Port ignoré (adresse spécifiée = \$000)
[LPT6] Port ignoré (adresse spécifiée = \$000)
[LPT7] Port ignoré (adresse spécifiée = \$000)
[LPT8] Port ignoré (adresse spécifiée = \$000)
Sélection port parallèle LPT1 (port detecté)
Fin de recherche des ports parallèles disponibles, 1 port parallèle trouvé.
$no_system_port"
[ "$(log_text)" = "$expected_start" ] || fail "start-up log:
$(log_text)"
echo "start-up log: LPT1 found at \$378, LPT2 and LPT3 read FF, LPT4 to LPT8 ignored"

# Installed from the program's folder and started: the service names the driver file there,
# and the driver's device answers (detection left the data register at 0).
service=$(probe service)
[ "${service#* }" = "$driver_path" ] || fail "service: $service (expected $driver_path)"
[ "$(probe read 0x378)" = 00 ] || fail "data register after detection: $(probe read 0x378)"
echo "service at start-up: $service"

[ "$(head -n 1 <<<"$default_ini" | tr -d '\r')" = "[MiscInfos]" ] &&
    grep -q '^LPT003Addr=956' <<<"$default_ini" || fail "default tamsel.ini: $default_ini"

click "$open_x" "$toolbar_y"
wait_for "the read loop" 30 log_ends_with "Démarrage Lecture en boucle..."
[ "$(log_text | tail -n 3 | head -n 2)" = "Chargement driver port parallèle...
Chargement driver port parallèle : OK." ] || fail "open: $(log_text | tail -n 3)"
status_before=$(probe read 0x379)

click "$d0_x" "$d0_y"
wait_for "the D0 write" 30 test "$(probe read 0x378)" = 01
status_after=$(probe read 0x379)
[ $((0x$status_before & 0x08)) = 0 ] && [ $((0x$status_after & 0x08)) = 8 ] ||
    fail "Error line through the loopback: status $status_before then $status_after"
echo "D0 reached the port: data 01, status $status_before -> $status_after (Error raised)"

click "$log_x" "$log_y" # the copy's selection goes
sleep 1
import -window root "$build/tamsel-windows.png"

# "Lisez-moi" in the "Aide" menu: the shell opens A_Lire.txt from the program's folder with
# the program associated with text files, whose window then names the file.
click "$help_x" "$menu_y"
click "$readme_x" "$readme_y"
readme=$(timeout 30 xdotool search --sync --onlyvisible --name 'A_Lire' | head -n 1) ||
    fail "no window shows A_Lire.txt after \"Lisez-moi\""
echo "readme opened: $(xdotool getwindowname "$readme")"
$WINE taskkill /im notepad.exe >/dev/null 2>&1
wait_for "the readme's window to close" 30 bash -c "! xdotool search --onlyvisible --name A_Lire"

# Closed as by its close box: the system's close request, while the read loop runs.
close_program tamsel.exe "$program"
expected_ini="${default_ini/LPT008Addr=0$'\r'/LPT008Addr=0$'\r\n'LPTPortAddrShowHexa=0$'\r'}"
expected_ini+=$'\n[WriteTest]\r\nCanWrite=1\r'
[ "$(cat "$dir/tamsel.ini")" = "$expected_ini" ] || fail "tamsel.ini after the close:
$(cat "$dir/tamsel.ini")"
wait_for "the service's removal" 30 test "$(probe service)" = absent
echo "closed: preferences saved, service removed"

# A fresh folder of the zip, with the given stand-ins copied in under their own names.
unpack() { # NAME FILE...
    local into="$work/$1"
    shift
    mkdir "$into"
    unzip -q "$zip" -d "$into"
    for f in "$@"; do cp "$f" "$into/"; done
    echo "$into"
}
library="$build/src/port/inpoutx64.dll"

# The library alone beside the program.
dir=$(unpack "InpOut été" "$library")
$WINE "$dir/tamsel.exe" &
program=$!
window=$(wait_for_window)
eval "$(xdotool getwindowgeometry --shell "$window")"
wait_for "the end of detection with the library" 60 log_ends_with "$no_system_port"
[ "$(log_text)" = "$expected_start" ] || fail "start-up log with the library:
$(log_text)"
click "$open_x" "$toolbar_y"
wait_for "the read loop with the library" 30 log_ends_with "Démarrage Lecture en boucle..."
click "$d0_x" "$d0_y"
inpout() { probe inpout "$1" "$(tr '/' '\\' <<<"Z:$dir/inpoutx64.dll")"; }
wait_for "the D0 write through the library" 30 test "$(inpout 0x378)" = 01
[ $((0x$(inpout 0x379) & 0x08)) = 8 ] || fail "Error line through the library's loopback"
echo "library: LPT1 found at \$378, opened, D0 reached its data register"
click "$log_x" "$log_y"
sleep 1
import -window root "$build/tamsel-windows-inpout.png"

# A second copy meanwhile: it finds LPT1 held, says so, and writes nothing to it.
set +e
second=$($WINE "$dir/tamsel-cli.exe" -v detect 2>&1 | tr -d '\r')
second_code=$?
set -e
grep -qF "tamsel-cli:   reason: another copy of Tamsel is using the port at 0x378" <<<"$second" ||
    fail "a second copy while LPT1 is held:
$second"
[ "$(inpout 0x378)" = 01 ] || fail "the second copy reached the held port: $(inpout 0x378)"
echo "second copy: LPT1 left alone (exit code $second_code)"
close_program tamsel.exe "$program"

# A driver that 64-bit Windows refuses (1275), and the library: the library serves.
dir=$(unpack "Refus 1275" "$library")
cp "$build/tests/port/windows/standin/refusing.sys" "$dir/zlportio.sys"
report=$($WINE "$dir/tamsel-cli.exe" -v detect 2>&1 >/dev/null | tr -d '\r') ||
    fail "detection through the library after the refused driver: $report"
grep -qxF "tamsel-cli: zlportio.sys is a 32-bit driver, which 64-bit Windows does not load (error 1275); ports reached through inpoutx64.dll (InpOutx64)" <<<"$report" ||
    fail "the fall-back's report:
$report"
echo "driver refused with 1275: fell back to the library, and said why"
wait_for "the refused service's removal" 30 test "$(probe service)" = absent

# Neither way: the window's log gives the reason and the remedy, and so does tamsel-cli -v,
# started from a directory that holds the library, which is not loaded from there.
dir=$(unpack "Sans pilote")
mkdir "$work/courant"
cp "$library" "$work/courant/"
cd "$work/courant"
set +e
report=$($WINE "$dir/tamsel-cli.exe" -v detect 2>&1 >/dev/null | tr -d '\r')
set -e
grep -qxF "tamsel-cli:   reason: neither the port driver zlportio.sys nor inpoutx64.dll is in the program's folder" <<<"$report" ||
    fail "no way, library in the current directory:
$report"
$WINE "$dir/tamsel.exe" &
program=$!
cd /
window=$(wait_for_window)
eval "$(xdotool getwindowgeometry --shell "$window")"
wait_for "the end of detection without a way" 60 log_ends_with "$no_system_port"
log_text | grep -qF "ni le driver de port zlportio.sys ni inpoutx64.dll n'est dans le dossier du programme" ||
    fail "no refusal in the log:
$(log_text)"
echo "no way: the refusal's reason in the window's log and in tamsel-cli's report"
click "$log_x" "$log_y"
sleep 1
import -window root "$build/tamsel-windows-refused.png"
close_program tamsel.exe "$program"
