#!/usr/bin/env bash
# The Windows zip as a user gets it: unpacked into a fresh folder, it holds both executables
# with their version record, the readme, the windows platform plugin, the libraries they import
# and nothing more (no port driver either); and tamsel-demo.exe starts from there under Wine, on
# the windows platform under Xvfb, in a fresh Wine prefix: it writes its default preferences
# beside itself, shows its window, and on a close request saves its preferences and ends.
#   tests/packaging/check_zip.sh out/tamsel-win64.zip
set -euo pipefail
zip=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../app/windows/wine_session.sh"
wine_session "$0" "$@"

dir="$work/unpacked"
mkdir "$dir"
unzip -q "$zip" -d "$dir"

# The files, and every library imported by some file of the folder (names are not case
# sensitive on Windows), the platform plugin being loaded by the toolkit itself.
listing=$(cd "$dir" && find . -type f | sed 's|^\./||' | sort)
for f in tamsel.exe tamsel-demo.exe tamsel-cli.exe tamsel-cli-demo.exe A_Lire.txt \
         platforms/qwindows.dll Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll; do
    grep -qx "$f" <<<"$listing" || fail "$f missing"
done
imports=$(cd "$dir" && find . -type f -iname '*.exe' -o -type f -iname '*.dll' |
          xargs -d '\n' x86_64-w64-mingw32-objdump -p | sed -n 's/^\s*DLL Name: //p' |
          tr 'A-Z' 'a-z' | sort -u)
while read -r f; do
    case "$f" in
    tamsel.exe | tamsel-demo.exe | tamsel-cli.exe | tamsel-cli-demo.exe | A_Lire.txt | \
        platforms/qwindows.dll) ;;
    */*) fail "$f: only the windows platform plugin belongs in a subfolder" ;;
    *.dll) grep -qx "$(tr 'A-Z' 'a-z' <<<"$f")" <<<"$imports" || fail "$f is imported by nothing" ;;
    *) fail "$f does not belong in the zip" ;;
    esac
done <<<"$listing"
# Both programs carry the version record their about window reads (its texts are UTF-16).
for f in tamsel.exe tamsel-demo.exe; do
    strings -el "$dir/$f" | grep -qx Freeware || fail "$f has no version record"
done

# The readme is Windows text that any Notepad reads as UTF-8.
[ "$(head -c 3 "$dir/A_Lire.txt" | od -An -tx1 | tr -d ' ')" = efbbbf ] ||
    fail "A_Lire.txt has no UTF-8 byte-order mark"
! grep -q $'[^\r]$' "$dir/A_Lire.txt" || fail "A_Lire.txt has a line that does not end in CR LF"
echo "zip: $(wc -l <<<"$listing") files, each needed: $(tr '\n' ' ' <<<"$listing")"

# Started from a folder of its own, from elsewhere: its preferences appear beside it.
cd /
$WINE "$dir/tamsel-demo.exe" &
program=$!
wait_for "the default preferences" 60 test -s "$dir/tamsel-demo.ini"
window=$(wait_for_window "^Tamsel - démo \\(port simulé\\)\$")
grep -q '^LPT001Addr=888' "$dir/tamsel-demo.ini" || fail "unexpected tamsel-demo.ini"
close_program tamsel-demo.exe "$program"
grep -q '^\[WriteTest\]' "$dir/tamsel-demo.ini" || fail "the close did not save the preferences"
echo "tamsel-demo.exe ran from the unpacked zip (window $window) and saved its preferences"

# The command-line tool beside it reads the same preferences: LPT2 set there to the bench port
# is found too.
sed -i 's/^LPT002Addr=632/LPT002Addr=888/' "$dir/tamsel-demo.ini"
detected=$($WINE "$dir/tamsel-cli-demo.exe" detect | tr -d '\r')
grep -qxF "[LPT2] Valeur lue = Valeur écrite : port détecté à l'adresse \$378" <<<"$detected" ||
    fail "tamsel-cli-demo.exe detect:
$detected"
echo "tamsel-cli-demo.exe read the preferences beside it"
