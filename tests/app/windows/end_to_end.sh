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
# A screenshot of the window with the port open is left in BUILD/tamsel-windows.png.
#   tests/app/windows/end_to_end.sh out/tamsel-win64.zip build-winqt
set -euo pipefail
zip=$(realpath "$1")
build=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_session.sh"
wine_session "$0" "$@"

fail() { echo "end_to_end: $*" >&2; exit 1; }
probe() { $WINE "$build/tests/app/windows/probe.exe" "$@" | tr -d '\r'; }

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
