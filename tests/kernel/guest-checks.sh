#!/bin/sh
# Runs inside the guest as root, on the host's own file system (read-only) with a fresh /tmp:
# the port checks as root, as a user in group lp and as a user outside it, then the whole
# program as a user in group lp and as one outside it, then tamsel-cli given the raw-I/O
# capability, then tamsel-cli's capture. Each step ends with a line "GUEST-STEP name status".
#   guest-checks.sh PORT-CHECK WINDOW-CHECK TAMSEL-CLI
port_check=$1
window_check=$2
cli=$3
echo "kernel $(uname -r)"
for p in /proc/sys/dev/parport/parport*; do
    echo "${p##*/}: base-addr $(tr '\t' ' ' <"$p/base-addr"), modes $(cat "$p/modes")"
done

export HOME=/tmp/home XDG_RUNTIME_DIR=/tmp/runtime QT_QPA_PLATFORM=offscreen
mkdir -p -m 700 "$HOME" "$XDG_RUNTIME_DIR"
chown 65534:65534 "$HOME" "$XDG_RUNTIME_DIR"
lp_member="setpriv --reuid=65534 --regid=65534 --groups=7"
outsider="setpriv --reuid=65534 --regid=65534 --groups=65534"

# Runs a test program; a filter that selects no test fails the step too, and so does an output
# without the text in $expect when it is set.
step() { # name command...
    name=$1
    shift
    timeout 300 "$@" >/tmp/step.log 2>&1
    status=$?
    cat /tmp/step.log
    grep -q '] 0 tests from' /tmp/step.log && status=1
    [ -n "${expect:-}" ] && ! grep -qF "$expect" /tmp/step.log && status=1
    echo "GUEST-STEP $name $status at $(cut -d' ' -f1 /proc/uptime) s"
}

# The programs that the unprivileged users run are copies in a folder they may enter, wherever
# the tree under test lies (a clone in a folder that only its owner may enter included). The
# window check's preferences file goes beside its executable, in that folder, which the user
# may write.
mkdir -p /tmp/program
cp "$port_check" /tmp/program/kernel_port_check
cp "$window_check" /tmp/program/kernel_window_check
cp "$cli" /tmp/program/tamsel-cli
chown -R 65534:65534 /tmp/program
port_check=/tmp/program/kernel_port_check
cli=/tmp/program/tamsel-cli

step port-root "$port_check" --gtest_filter='*AsRoot*'
step port-lp $lp_member "$port_check" --gtest_filter='AsLpMember*'
step port-outsider $outsider "$port_check" --gtest_filter='AsOutsider*'

# A reader as root answers the byte /dev/port reads at an address, for the check to see what
# the hardware holds.
mkdir -p /tmp/kernel-peek
mkfifo -m 622 /tmp/kernel-peek/request
mkfifo -m 644 /tmp/kernel-peek/answer
(
    while read -r address </tmp/kernel-peek/request; do
        dd if=/dev/port bs=1 skip="$address" count=1 2>/dev/null | od -An -tu1 \
            >/tmp/kernel-peek/answer
    done
) &
reader=$!
step window $lp_member /tmp/program/kernel_window_check --gtest_filter='GuestWindow.*'
step window-outsider $outsider /tmp/program/kernel_window_check --gtest_filter='*Outsider.*'
kill "$reader"

# tamsel-cli given the raw-I/O capability, as a user outside group lp: it writes 0x378 and is
# refused the reset register 0xCF9 (a write of 6 there would reset the guest, ending the run).
mkdir -p /tmp/raised
cp "$cli" /tmp/raised/tamsel-cli
/usr/sbin/setcap cap_sys_rawio+ep /tmp/raised/tamsel-cli
expect="not a parallel-port register"
step cli-raised sh -c '
    $1 /tmp/raised/tamsel-cli -v write -p 0x378 --data 0x5A || exit 1
    held=$(dd if=/dev/port bs=1 skip=888 count=1 2>/dev/null | od -An -tu1 | tr -d " ")
    [ "$held" = 90 ] || { echo "0x378 holds $held after the write of 0x5A"; exit 1; }
    $1 /tmp/raised/tamsel-cli write -p 0xCF9 --data 6
    status=$?
    [ "$status" = 2 ] || { echo "the write at 0xCF9 ended with $status, not 2"; exit 1; }
' raised "$outsider"
expect=

# tamsel-cli's capture for a second, through ppdev as a user in group lp, then through
# /dev/port as root once the ppdev device nodes are gone (the last step: no other needs them).
# Each says the way it took and the samples per second it reached.
capture="-v capture -p 0x378 --for 1s -o"
expect="port 0x378: ppdev"
step cli-ppdev $lp_member "$cli" $capture /tmp/ppdev.vcd
rm -f /dev/parport*
expect="port 0x378: /dev/port"
step cli-devport "$cli" $capture /tmp/devport.vcd
expect=
