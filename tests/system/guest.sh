#!/bin/bash
# The system test inside the virtual machine (started by run.sh through the kernel's command
# line, which hands over rvbuild, rvmodules and rvdeb). As root: the drivers, udev, the users;
# as the technician (in dialout): the tool, twice, with COM2 reached once through the link that
# rv4417-devices makes and once through the udev rule it prints.
set -uo pipefail
exec 2>&1
: "${rvbuild:?}" "${rvmodules:?}"
export PATH=/usr/sbin:/usr/bin:/sbin:/bin
failed=0
result() { # result OK NAME DETAIL
    if [ "$1" = 0 ]; then echo "PASS $2: $3"; else echo "FAIL $2: $3"; failed=$((failed + 1)); fi
}

ln -sfn "$rvmodules" /lib/modules
/lib/systemd/systemd-udevd --daemon
modprobe -a xhci_pci ftdi_sio snd_hda_intel
# The UARTs were there before udev: their group and mode come from its rules.
udevadm trigger --action=add --subsystem-match=tty --subsystem-match=sound
udevadm settle

if [ -n "${rvdeb:-}" ]; then
    # man-db's trigger rebuilds the index of every manual page: minutes in an emulated machine.
    rm -f /var/lib/man-db/auto-update
    begin=$SECONDS
    dpkg -i "$rvdeb" >/dev/null
    result $? "package" "$(dpkg-query -W rv4417test) installed with dpkg -i in $((SECONDS - begin)) s"
    appdir=/usr/lib/rv4417test devices=/usr/bin/rv4417-devices
else
    appdir=$rvbuild devices=$rvbuild/rv4417-devices
fi
useradd -M -G dialout,audio tech
# The build may lie in a private folder (a home folder is 0700): in this machine's own copy of
# the host's files, the folders above it are opened for the technician and for nobody.
dir=$rvbuild
while [ "$dir" != / ]; do
    chmod o+x "$dir"
    dir=$(dirname "$dir")
done
mkdir -p /dev/rv4417 /tmp/tech && chown tech /dev/rv4417 /tmp/tech && chmod 0700 /tmp/tech
export RV4417_DEVICES=/dev/rv4417

# Someone outside dialout is told why, on the UART's own node.
"$devices" link COM0 /dev/ttyS1 >/dev/null
denied=$(setpriv --reuid=nobody --regid=nogroup --clear-groups "$devices")
grep -q "COM0 would not open (ERROR_ACCESS_DENIED): not allowed" <<<"$denied" &&
    grep -q "/dev/ttyS1 belongs to root, group dialout" <<<"$denied" &&
    grep -q "Fix: sudo usermod -aG dialout nobody" <<<"$denied"
result $? "outside dialout" "$(grep -A3 'COM0 would not open' <<<"$denied" | tr -s ' \n' ' ')"

byid=$(ls /dev/serial/by-id/)
made=$("$devices" link COM2 "/dev/serial/by-id/$byid")
rule=$(grep -o 'SUBSYSTEM==.*' <<<"$made")
echo "COM2: /dev/serial/by-id/$byid; the rule: $rule"

drive() { # drive RUN: the tool as the technician, on the ports as they are linked now
    echo "--- run: $1"
    setpriv --reuid=tech --regid=tech --init-groups env HOME=/tmp/tech XDG_RUNTIME_DIR=/tmp/tech \
        QT_QPA_PLATFORM=offscreen "$rvbuild/tests/system/rv4417-vm-drive" "$appdir" "$devices" \
        /dev/ttyS2 /dev/ttyS3
    result $? "$1" "the driver's checks"
}
drive "through the link to the by-id name"

rm /dev/rv4417/COM2
echo "$rule" >/etc/udev/rules.d/99-rv4417.rules
udevadm control --reload
udevadm trigger --action=add --subsystem-match=tty
udevadm settle
[ -e /dev/rv4417/COM2 ]
result $? "udev rule" "/dev/rv4417/COM2 -> $(readlink /dev/rv4417/COM2)"
drive "through the udev rule"
echo "guest: done, $failed failed"
