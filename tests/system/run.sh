#!/usr/bin/env bash
# The system test: boots the Debian kernel in QEMU with this machine's root read-only under a RAM
# overlay and runs the tool there on the kernel's own drivers (guest.sh): COM0 on a 16550 UART,
# COM2 on a USB serial adapter that is pulled and plugged back, the scan sound on an HDA card.
#
#   tests/system/run.sh BUILD_DIR [PACKAGE.deb]
#
# With a package, it is installed in the machine and the installed files are used (the driver
# always comes from BUILD_DIR: build it from the same tree). The kernel's package is unpacked
# into BUILD_DIR/system, not installed: the host's /boot and bootloader stay untouched.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
    # QEMU shares this machine's files with the rights of whoever starts it, and the machine's
    # root must read them all (useradd reads /etc/shadow).
    echo "tests/system/run.sh: run it as root (sudo)" >&2
    exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "$1")
deb=${2:+$(realpath "$2")}
# The machine's kernel, initramfs and sockets, and the WAV its card writes.
work=$build/system
mkdir -p "$work"
start=$SECONDS

version=$(apt-cache depends linux-image-amd64 |
    sed -n 's/.*Depends: linux-image-\([0-9].*-amd64\)$/\1/p' | head -1)
kernel=$work/kernel-$version
if [ ! -f "$kernel/boot/vmlinuz-$version" ]; then
    rm -rf "$work"/kernel-* "$work"/linux-image-*.deb
    (cd "$work" && apt-get download -q "linux-image-$version" 2>/dev/null)
    dpkg-deb -x "$work"/linux-image-"$version"_*.deb "$kernel"
    rm "$work"/linux-image-*.deb
    depmod -b "$kernel" "$version"
    echo "=== the kernel's package unpacked in $((SECONDS - start)) s"
fi

# The initramfs: our /init and the modules that reach the host's root, in loading order.
initrd=$work/initrd.img
rm -rf "$work/initrd" && mkdir -p "$work/initrd/m"
cp "$build/tests/system/rv4417-vm-init" "$work/initrd/init"
n=10
for module in virtio_ring virtio virtio_pci_legacy_dev virtio_pci_modern_dev virtio_pci 9pnet \
    9pnet_virtio netfs fscache 9p overlay; do
    cp "$(find "$kernel/lib/modules" -name "$module.ko")" "$work/initrd/m/$n-$module.ko"
    n=$((n + 1))
done
(cd "$work/initrd" && find . | cpio -o -H newc --quiet >"$initrd")

wav=$work/card.wav
rm -f "$wav" "$work"/*.sock "$work"/monitor.*
mkfifo "$work/monitor.in" "$work/monitor.out"
exec {monitor_in}<>"$work/monitor.in" {monitor_out}<>"$work/monitor.out"
# shellcheck disable=SC2054 # QEMU's options are lists with commas
machine=(-m 1024 -smp 2 -display none -no-reboot -kernel "$kernel/boot/vmlinuz-$version"
    -initrd "$initrd" -serial stdio
    -append "console=ttyS0 quiet panic=-1 rvrun=$here/guest.sh rvbuild=$build rvmodules=$kernel/lib/modules rvdeb=$deb"
    -virtfs local,path=/,mount_tag=host,security_model=none,readonly=on,multidevs=remap
    -chardev pipe,id=monitor,path="$work/monitor" -mon chardev=monitor,mode=readline
    # ttyS1 is COM0, ttyS2 its far end; ttyS3 the far end of the USB adapter (COM2).
    -chardev socket,id=com0,path="$work/com0.sock",server=on,wait=off -serial chardev:com0
    -chardev socket,id=com0far,path="$work/com0.sock" -serial chardev:com0far
    -chardev socket,id=usb,path="$work/com2.sock",server=on,wait=off
    -chardev socket,id=com2far,path="$work/com2.sock" -serial chardev:com2far
    -device qemu-xhci -device usb-serial,chardev=usb,id=adapter,serial=FT4417A
    -device intel-hda -device hda-output,audiodev=card -audiodev wav,id=card,path="$wav")

# boot ACCEL SECONDS: starts the machine; fails when the kernel does not reach our /init in
# time (with KVM nested in a virtual machine it may stop early in its boot, silently).
boot() {
    coproc QEMU { exec qemu-system-x86_64 -accel "$1" "${machine[@]}" 2>&1; }
    qemu=$QEMU_PID # bash forgets it when the machine ends
    local line
    while IFS= read -r -t "$2" line <&"${QEMU[0]}"; do
        [[ $line == *"rv-init: started"* ]] && return 0
    done
    kill "$qemu" 2>/dev/null
    wait "$qemu" 2>/dev/null || true
    return 1
}
accel=tcg
if [ -w /dev/kvm ] && boot kvm 10; then
    accel=kvm
elif [ -w /dev/kvm ]; then
    echo "KVM: /dev/kvm opens, but the kernel did not reach /init within 10 s: emulating"
fi
if [ $accel = tcg ] && ! boot tcg 120; then
    echo "the machine did not boot" >&2
    exit 1
fi
echo "=== the machine reached /init with $accel in $((SECONDS - start)) s (kernel $version)"

log=$work/console.log
: >"$log"
plugged=0
while IFS= read -r line <&"${QEMU[0]}"; do
    line=${line%$'\r'}
    echo "$line" | tee -a "$log"
    case "$line" in
        @unplug) echo "device_del adapter" >&"$monitor_in" ;;
        @plug)
            echo "device_add usb-serial,chardev=usb,id=adapter,serial=FT4417A" >&"$monitor_in"
            plugged=$((plugged + 1))
            ;;
    esac
done
wait "$qemu" || true
exec {monitor_in}>&- {monitor_out}>&-

# Two scans a run, each ended by CR and LF, each of which plays the sound.
"$build/tests/system/rv4417-wav-match" "$wav" "$here/../../res/sound/LaserScanOk.wav" \
    $((4 * plugged)) && sound=0 || sound=1
# Every check ran and passed: nine a run of the driver, four of the machine's, and the package's.
passes=$((2 * 9 + 4))
[ -n "$deb" ] && passes=$((passes + 1))
grep -q "^guest: done, 0 failed" "$log" && [ "$(grep -c '^PASS' "$log")" -eq $passes ] &&
    ! grep -q "^FAIL" "$log" && [ "$sound" = 0 ] && status=0 || status=1
echo "=== the system test ($accel): $((SECONDS - start)) s, $([ "$status" = 0 ] && echo passed || echo FAILED)"
exit "$status"
