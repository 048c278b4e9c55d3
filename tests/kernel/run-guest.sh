#!/usr/bin/env bash
# Boots Debian's own kernel under QEMU software emulation with three emulated parallel ports
# (0x378, 0x278, 0x3B8) and runs the real-kernel checks inside it, on the host's own file
# system shared read-only over virtio-9p, so the dynamically linked programs run unchanged.
#
#   run-guest.sh PORT-CHECK WINDOW-CHECK TAMSEL-CLI
#
# The kernel package is fetched once with apt-get download into a cache folder outside the
# repository (${XDG_CACHE_HOME:-~/.cache}/tamsel), keyed by the package's name and version.
# The guest's console comes back on standard output. Exit status: 0 when every check in the
# guest passed, 77 (skipped) when this machine cannot run QEMU at all, 1 otherwise.
set -euo pipefail
trap 'echo "FAILED: $BASH_COMMAND (line $LINENO)" >&2' ERR

here=$(cd "$(dirname "$0")" && pwd)
[ $# -eq 3 ] || { echo "usage: $0 PORT-CHECK WINDOW-CHECK TAMSEL-CLI" >&2; exit 2; }
port_check=$(realpath "$1")
window_check=$(realpath "$2")
cli=$(realpath "$3")

skip() {
    echo "SKIPPED: the real-kernel checks cannot run on this machine: $*"
    exit 77
}

# Only what QEMU itself cannot do is a reason to skip; anything else fails.
[ "$(uname -m)" = x86_64 ] ||
    skip "the guest runs the host's own x86-64 programs, and this host is $(uname -m)"
command -v qemu-system-x86_64 >/dev/null ||
    skip "qemu-system-x86_64 is not installed (Debian package qemu-system-x86)"
if ! probe=$(echo quit | timeout 60 qemu-system-x86_64 -machine pc,accel=tcg -nodefaults \
                 -display none -m 64 -S -monitor stdio 2>&1); then
    skip "qemu-system-x86_64 cannot start a machine here: $(tail -n 3 <<<"$probe" | tr '\n' ' ')"
fi
for tool in busybox cpio xz objcopy readelf apt-get dpkg-deb; do
    command -v "$tool" >/dev/null || { echo "missing $tool: run ./dev.sh test" >&2; exit 1; }
done
# The guest starts before any library can be found: its busybox must be the static one.
if readelf -l "$(command -v busybox)" | grep INTERP >/dev/null; then
    echo "busybox is not static: install busybox-static" >&2
    exit 1
fi

# --- the kernel: vmlinuz and the modules the guest loads, cached by package and version
cache=${XDG_CACHE_HOME:-$HOME/.cache}/tamsel
mkdir -p "$cache"
# The kernel that linux-image-amd64 stands for now, and its version, from one look-up.
resolve_kernel() {
    read -r pkg version < <(apt-cache show --no-all-versions linux-image-amd64 2>/dev/null |
        sed -n 's/^Depends: \(linux-image-[^ ,]*\) (= \([^)]*\)).*/\1 \2/p') || true
    [ -n "${pkg:-}" ] && [ -n "${version:-}" ]
}
if ! resolve_kernel; then
    [ "$(id -u)" = 0 ] && apt-get update -qq
    resolve_kernel || { echo "apt-cache knows no linux-image-amd64: run apt-get update" >&2; exit 1; }
fi
kernel=$cache/kernel-${pkg}_${version}
# Modules wanted in the guest; their dependencies are added below.
wanted="parport parport_pc ppdev 9pnet_virtio 9p virtio_pci"
if [ ! -f "$kernel/ready" ]; then
    echo "fetching $pkg $version into $kernel"
    work=$(mktemp -d "$cache/.kernel.XXXXXX")
    trap 'rm -rf "$work"' EXIT
    # As root, apt would drop to its own user, which cannot write here.
    sandbox=()
    [ "$(id -u)" = 0 ] && sandbox=(-o APT::Sandbox::User=root)
    (cd "$work" && apt-get download -q "${sandbox[@]}" "$pkg=$version" >/dev/null)
    dpkg-deb -x "$work"/*.deb "$work/root"
    kver=$(ls "$work/root/lib/modules")
    mkdir -p "$work/kernel/modules"
    # Under software emulation the kernel's own decompression takes longer than the rest of
    # its boot: the image is unpacked here once, and QEMU enters it at its PVH entry point.
    # Without that entry point the packed image boots the usual way.
    vmlinuz=$work/root/boot/vmlinuz-$kver
    offset=$(LC_ALL=C grep -obUaP '\xFD7zXZ\x00' "$vmlinuz" | awk -F: 'NR == 1 {print $1}')
    if [ -n "$offset" ] &&
       xz -dc --single-stream <(tail -c +$((offset + 1)) "$vmlinuz") >"$work/kernel/vmlinux" \
           2>/dev/null &&
       readelf -n "$work/kernel/vmlinux" | grep '(0x00000012)' >/dev/null; then
        echo "unpacked $pkg's kernel for a direct start"
    else
        rm -f "$work/kernel/vmlinux"
        cp "$vmlinuz" "$work/kernel/vmlinuz"
    fi
    # The package has no modules.dep: each module's own "depends=" record gives its order.
    order=()
    add_module() {
        local name=$1 file dep
        for done_name in "${order[@]}"; do [ "$done_name" = "$name" ] && return 0; done
        file=$(find "$work/root/lib/modules/$kver/kernel" -name "$name.ko*" -print -quit)
        if [ -z "$file" ]; then
            # Built into the kernel: nothing to load.
            grep -q "/$name.ko" "$work/root/lib/modules/$kver/modules.builtin" && return 0
            echo "module $name not found in $pkg" >&2
            return 1
        fi
        case $file in
        *.xz) xz -dc "$file" >"$work/kernel/modules/$name.ko" ;;
        *.zst) zstd -qdc "$file" >"$work/kernel/modules/$name.ko" ;;
        *) cp "$file" "$work/kernel/modules/$name.ko" ;;
        esac
        for dep in $(objcopy -O binary --only-section=.modinfo "$work/kernel/modules/$name.ko" \
                         /dev/stdout | tr '\0' '\n' | sed -n 's/^depends=//p' | tr ',' ' '); do
            add_module "$dep"
        done
        order+=("$name")
    }
    for m in $wanted; do add_module "${m//-/_}"; done
    printf '%s\n' "${order[@]}" >"$work/kernel/modules.order"
    echo "$pkg $version $kver" >"$work/kernel/ready"
    # Another run may have finished the same fetch meanwhile: its copy is as good as ours.
    mv -T "$work/kernel" "$kernel" 2>/dev/null || true
    rm -rf "$work"
    trap - EXIT
fi

# --- the initramfs: busybox, the modules in load order and the init; fresh for each run
run=$(mktemp -d -t tamsel-guest.XXXXXX)
trap 'rm -rf "$run"' EXIT
mkdir -p "$run/initrd/bin" "$run/initrd/modules"
cp "$(command -v busybox)" "$run/initrd/bin/busybox"
cp "$kernel"/modules/*.ko "$kernel/modules.order" "$run/initrd/modules/"
cp "$here/guest-init" "$run/initrd/init"
chmod +x "$run/initrd/init"
# What the init runs once the host's file system is mounted, with its arguments.
printf '%q ' "$here/guest-checks.sh" "$port_check" "$window_check" "$cli" >"$run/initrd/command"
# The guest gets a fresh /tmp; a tree under test that lies in the host's /tmp stays visible there.
for path in "$here" "$port_check" "$window_check" "$cli"; do
    case $path in /tmp/?*) path=${path#/tmp/}; echo "/tmp/${path%%/*}" ;; esac
done | sort -u >"$run/initrd/keep"
(cd "$run/initrd" && find . | cpio -o -H newc 2>/dev/null | gzip -1) >"$run/initrd.gz"

# --- the guest: three ports, the host's root read-only over 9p, the console on stdout. The
# kernel's check of the timer's interrupt counts ticks within a delay that an emulated machine
# on a busy host can overrun (it then stops with "IO-APIC + timer doesn't work!"): it is left out.
ports=()
for base in 0x378 0x278 0x3B8; do
    ports+=(-chardev "null,id=lpt$base" -device "isa-parallel,chardev=lpt$base,iobase=$base")
done
image=$kernel/vmlinux
[ -f "$image" ] || image=$kernel/vmlinuz
start=$(date +%s.%N)
set +e
timeout 600 qemu-system-x86_64 -machine pc,accel=tcg -cpu max -m 512 -nodefaults \
    -display none -no-reboot -serial stdio -parallel none "${ports[@]}" \
    -fsdev local,id=host,path=/,security_model=none,readonly=on,multidevs=remap \
    -device virtio-9p-pci,fsdev=host,mount_tag=host \
    -kernel "$image" -initrd "$run/initrd.gz" \
    -append "console=ttyS0 quiet loglevel=3 panic=-1 no_timer_check" 2>&1 | tr -d '\r' | tee "$run/console"
qemu_status=${PIPESTATUS[0]}
set -e
echo "guest run: $(awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN {printf "%.1f", e - s}') s"

if [ "$qemu_status" != 0 ]; then
    echo "FAILED: qemu-system-x86_64 ended with status $qemu_status" >&2
    exit 1
fi
grep -q '^GUEST-DONE$' "$run/console" || { echo "FAILED: the guest did not finish" >&2; exit 1; }
# Every step of guest-checks.sh, and the script itself, ran; none failed.
missing=
for name in port-root port-lp port-outsider window window-outsider cli-raised cli-ppdev \
    cli-devport checks; do
    grep -q "^GUEST-STEP $name " "$run/console" || missing="$missing $name"
done
failed=$(awk '/^GUEST-STEP / && $3 != 0 {printf " %s", $2}' "$run/console")
if [ -n "$missing$failed" ]; then
    echo "FAILED: guest steps that failed:${failed:- none}; that did not run:${missing:- none}" >&2
    exit 1
fi
echo "all guest steps passed"
