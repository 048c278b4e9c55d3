#!/usr/bin/env bash
# The Debian packages as a user gets them: their contents against the expected lists beside
# this script, their control data, lintian, the desktop and AppStream validators, the icons,
# and the installed tamsel-demo started through its command from another working directory.
#   tests/packaging/check_deb.sh BUILD-DIR PACKAGE-DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
packages=$(cd "$2" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
scratch=$(mktemp -d -t tamsel-deb.XXXXXX)
trap 'rm -rf "$scratch"' EXIT

passed=0 failed=0
pass() { passed=$((passed + 1)); echo "ok   $1"; }
fail() { failed=$((failed + 1)); echo "FAIL $1"; }
check() { # name command...
    local name=$1
    shift
    if "$@" >"$scratch/out" 2>&1; then pass "$name"; else fail "$name"; sed 's/^/     /' "$scratch/out"; fi
}

# A package's files and links (not its folders): mode, owner, path and link target, by path.
contents() {
    dpkg-deb -c "$1" | awk '$1 !~ /^d/ {
        line = $1 " " $2 " " substr($6, 2); if ($7 == "->") line = line " -> " $8; print line }' |
        sort -k3
}

# Every hicolor icon of the program is a picture with transparency of its folder's size.
icons_match_folders() { # root program
    local icon size
    for icon in "$1"/usr/share/icons/hicolor/*/apps/"$2".png; do
        size=$(basename "$(dirname "$(dirname "$icon")")")
        file -b "$icon" | grep -q "PNG image data, ${size/x/ x }, 8-bit/color RGBA" ||
            { echo "$icon: $(file -b "$icon")"; return 1; }
    done
}

declare -A deb root
for p in tamsel tamsel-demo; do
    deb[$p]=$packages/${p}_${version}_amd64.deb
    root[$p]=$scratch/root-$p
    check "$p: ${deb[$p]##*/} exists" test -f "${deb[$p]}"
    [ -f "${deb[$p]}" ] || continue
    check "$p: contents" diff -u "$here/$p.files" <(contents "${deb[$p]}")
    # Dependencies found from the libraries the executable links, with their minimum versions.
    check "$p: dependencies from the linked libraries" \
        grep -Eq '(^|, )libc6 \(>= [^)]+\).*, libqt6widgets6 \(>= [^)]+\)' \
        <(dpkg-deb -f "${deb[$p]}" Depends)
    check "$p: lintian without errors" lintian --fail-on error "${deb[$p]}"
    dpkg-deb -x "${deb[$p]}" "${root[$p]}"
    for desktop in "${root[$p]}"/usr/share/applications/*.desktop; do
        check "$p: ${desktop##*/} valid" desktop-file-validate "$desktop"
        check "$p: ${desktop##*/} starts /usr/bin/$p" grep -qx "Exec=$p" "$desktop"
    done
    check "$p: each icon of the size its folder names" icons_match_folders "${root[$p]}" "$p"
done

t=${root[tamsel]}
check "tamsel: metainfo valid" appstreamcli validate --no-net \
    "$t/usr/share/metainfo/org.tamsel.Tamsel.metainfo.xml"
check "tamsel: preferences kept as a configuration file" diff <(echo /etc/tamsel/tamsel.ini) \
    <(dpkg-deb --ctrl-tarfile "${deb[tamsel]}" | tar -xO ./conffiles 2>&1)
check "tamsel: ppdev loaded at boot" grep -qx ppdev "$t/usr/lib/modules-load.d/tamsel.conf"
check "both programs ship the same default preferences" \
    cmp "$t/etc/tamsel/tamsel.ini" "${root[tamsel-demo]}/usr/lib/tamsel-demo/tamsel-demo.ini"

# The installed demo, started through its command from another folder, must find its own
# folder: read the shipped preferences there (LPT1 to LPT3 searched, the bench port found at
# $378) and save them there at close, creating no file anywhere else. A probe loaded through
# the toolkit's plugin hook reports the event log and closes the window. Its save with nothing
# changed leaves the shipped file byte for byte, as tamsel's (same code, same file) does.
d=${root[tamsel-demo]}
prefs=$d/usr/lib/tamsel-demo/tamsel-demo.ini
cp "$prefs" "$scratch/shipped.ini"
run_demo() (
    mkdir -p "$scratch/cwd"
    touch "$scratch/started" "$scratch/log"
    cd "$scratch/cwd"
    QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH="$build/tests/packaging/plugins" \
    QT_QPA_GENERIC_PLUGINS=tamselprobe TAMSEL_PROBE_LOG="$scratch/log" \
        timeout 60 "$d/usr/bin/tamsel-demo"
)
# Files the run made or changed, other than the preferences beside the program.
nothing_written_elsewhere() {
    find "$scratch/cwd" "$d" -newer "$scratch/started" ! -type d ! -path "$prefs" | grep . && return 1
    return 0
}
check "tamsel-demo: started and closed" run_demo
while IFS= read -r line; do
    check "tamsel-demo: logs \"$line\"" grep -qxF "$line" "$scratch/log"
done <<'EOF'
[LPT1] Valeur lue = Valeur écrite : port détecté à l'adresse $378
[LPT2] Valeur lue <> Valeur écrite : port non détecté à l'adresse $278
[LPT3] Valeur lue <> Valeur écrite : port non détecté à l'adresse $3BC
[LPT4] Port ignoré (adresse spécifiée = $000)
[LPT8] Port ignoré (adresse spécifiée = $000)
Fin de recherche des ports parallèles disponibles, 1 port parallèle trouvé.
EOF
saved_as_shipped() {
    find "$prefs" -newer "$scratch/started" | grep -q . || { echo "$prefs: not saved"; return 1; }
    cmp "$scratch/shipped.ini" "$prefs"
}
check "tamsel-demo: saved its preferences beside itself, as shipped" saved_as_shipped
check "tamsel-demo: wrote nothing elsewhere" nothing_written_elsewhere

# The installed command-line tool, started through its command from another folder, reads the
# preferences of the program beside it: LPT2 set there to the bench port is found too.
sed -i 's/^LPT002Addr=632/LPT002Addr=888/' "$prefs"
cli_detect() (cd "$scratch/cwd" && "$d/usr/bin/tamsel-cli-demo" detect)
check "tamsel-cli-demo: reads the preferences beside it" grep -qxF \
    "[LPT2] Valeur lue = Valeur écrite : port détecté à l'adresse \$378" <(cli_detect)
check "tamsel-cli: starts through its command" "$t/usr/bin/tamsel-cli" --help

echo "packages: $passed passed, $failed failed"
[ "$failed" = 0 ]
