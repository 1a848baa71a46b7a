#!/usr/bin/env bash
# The real-port backends against the Linux kernel's own drivers: boots Debian's kernel under
# QEMU with an emulated ISA parallel port at 0x378, once per case, and checks what osdex and
# the port library do there (tests/vm/guest/init.sh). Prints the figures measured on the
# kernel's driver; under TCG they are emulation figures and are never judged.
#
# Usage: tests/vm/run.sh [BUILD_DIR] [CASE...]   (default: build, every case)
# OSDEX_VM_ACCEL=kvm uses KVM instead of TCG; OSDEX_VM_JOBS sets the guests run at once (2);
# OSDEX_VM_KEEP=1 keeps the initramfs and the guests' logs in the folder it names.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-build}
shift || true
[[ $build = /* ]] || build=$root/$build

# Case name, extra kernel arguments, then the checks it must report ok.
declare -A case_args=([lockdown]="lockdown=integrity")
declare -A case_checks=(
    [nodriver]="doctor_default doctor_sim_chosen open_missing doctor_mapped_missing select
        data_latch_reads_back floating_data_pins_read_high control_inversions
        ecr_writes_reach_base_plus_402 register_write_completes register_read_sees_floating_pins
        read_turns_data_pins_apart_from_strobes cycle_leaves_cs_high pin17_high_after_release
        data_pins_drive_after_release doctor_direct"
    [pconly]="doctor_no_ppdev doctor_no_ppdev_last_line open_no_ppdev select data_latch_reads_back
        floating_data_pins_read_high control_inversions ecr_writes_reach_base_plus_402
        register_write_completes register_read_sees_floating_pins
        read_turns_data_pins_apart_from_strobes cycle_leaves_cs_high pin17_high_after_release"
    [ppdev]="select open_claims_alone_in_byte_mode data_latch_reads_back
        floating_data_pins_read_high control_inversions ecr_writes_become_port_modes
        register_write_completes register_read_sees_floating_pins
        read_floats_before_rd_and_drives_after cycle_leaves_cs_high
        released_in_compatibility_mode pin17_high_after_release data_pins_drive_after_release
        doctor_no_board pins_after_osdex doctor_dev_null doctor_folder doctor_root_groups"
    [holders]="holder_excl doctor_excl_holder doctor_excl_holder_last_line open_excl_holder
        holder_shared doctor_shared_holder doctor_shared_holder_last_line open_shared_holder"
    [lp]="open_lp doctor_lp doctor_lp_last_line"
    [users]="user_open user_doctor user_doctor_last_line user_direct member_doctor
        member_wrong_node member_wrong_node_open"
    [lockdown]="lockdown_direct lockdown_doctor lockdown_doctor_securityfs lockdown_ppdev"
)
all_cases=(nodriver pconly ppdev holders lp users lockdown)
cases=("$@")
[ ${#cases[@]} -gt 0 ] || cases=("${all_cases[@]}")

started=$(date +%s)
"$root/scripts/install-deps.sh" --vm

if [ ! -f "$build/build.ninja" ]; then
    CMAKE_CXX_COMPILER_LAUNCHER=ccache cmake -S "$root" -B "$build" -G Ninja \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOSDEX_BUILD_TESTS=ON >/dev/null
fi
nice cmake --build "$build" -j2 --target osdex vm_port_driver >/dev/null

# The newest Debian kernel whose modules include the parallel-port drivers.
kernel=""
for image in $(ls -v /boot/vmlinuz-*-amd64 2>/dev/null); do
    version=${image#/boot/vmlinuz-}
    [ -d "/lib/modules/$version/kernel/drivers/parport" ] && kernel=$version
done
[ -n "$kernel" ] || { echo "tests/vm: no /boot/vmlinuz-*-amd64 with parport modules" >&2; exit 1; }

work=$(mktemp -d)
[ -n "${OSDEX_VM_KEEP:-}" ] && echo "tests/vm: keeping $work" || trap 'rm -rf "$work"' EXIT
tree=$work/initramfs
mkdir -p "$tree"/{bin,lib/modules,etc,proc,sys,dev,tmp}
cp /bin/busybox "$tree/bin/busybox"
ln -s busybox "$tree/bin/sh"
for module in parport parport_pc ppdev lp; do
    file=$(modinfo -k "$kernel" -n "$module")
    case $file in
    *.ko) cp "$file" "$tree/lib/modules/$module.ko" ;;
    *.ko.xz) xz -dc "$file" >"$tree/lib/modules/$module.ko" ;;
    *.ko.zst) zstd -qdc "$file" >"$tree/lib/modules/$module.ko" ;;
    esac
done
# The programs with the libraries they are linked with, at the same paths.
for program in "$build/cli/osdex" "$build/tests/vm/vm_port_driver"; do
    strip -o "$tree/bin/$(basename "$program")" "$program"
    for lib in $(ldd "$program" | grep -o '/[^ ]*'); do
        [ -e "$tree$lib" ] && continue
        mkdir -p "$tree$(dirname "$lib")"
        strip --strip-unneeded -o "$tree$lib" "$lib" 2>/dev/null || cp -L "$lib" "$tree$lib"
    done
done
ln -s lib "$tree/lib64" 2>/dev/null || true
printf 'root:x:0:0:root:/tmp:/bin/sh\nbench:x:1000:1000::/tmp:/bin/sh\nbenchlp:x:1001:1001::/tmp:/bin/sh\n' >"$tree/etc/passwd"
printf 'root:x:0:\nlp:x:7:benchlp\nbench:x:1000:\nbenchlp:x:1001:\n' >"$tree/etc/group"
install -m 755 "$root/tests/vm/guest/init.sh" "$tree/init"
(cd "$tree" && find . | cpio -o -H newc --quiet | gzip -1) >"$work/initrd.gz"
echo "tests/vm: initramfs $(du -sm "$tree" | cut -f1) MB unpacked, $(du -m "$work/initrd.gz" | cut -f1) MB packed"

accel=${OSDEX_VM_ACCEL:-tcg}
boot_case() {
    local name=$1
    timeout -s KILL 150 qemu-system-x86_64 -accel "$accel" -m 256M -smp 1 -nodefaults \
        -display none -no-reboot -serial stdio -monitor none \
        -chardev null,id=lpt -device isa-parallel,chardev=lpt,iobase=0x378,irq=7 \
        -kernel "/boot/vmlinuz-$kernel" -initrd "$work/initrd.gz" \
        -append "console=ttyS0 quiet panic=-1 vmcase=$name ${case_args[$name]:-}" \
        </dev/null 2>&1 | tr -d '\r' >"$work/$name.log" || true
}

jobs_at_once=${OSDEX_VM_JOBS:-2}
for name in "${cases[@]}"; do
    [ -n "${case_checks[$name]:-}" ] || { echo "tests/vm: no case '$name'" >&2; exit 2; }
    while [ "$(jobs -rp | wc -l)" -ge "$jobs_at_once" ]; do wait -n || true; done
    boot_case "$name" &
done
wait

failed=0
for name in "${cases[@]}"; do
    log=$work/$name.log
    problems=$(grep -E '^CHECK [a-z_0-9]+ FAIL' "$log" || true)
    grep -q "^CASE-END $name\$" "$log" || problems+=$'\n'"the guest did not finish (hung, crashed or timed out)"
    for check in ${case_checks[$name]}; do
        grep -q "^CHECK $check " "$log" || problems+=$'\n'"no result for $check"
    done
    count=$(grep -c '^CHECK [a-z_0-9]* ok$' "$log" || true)
    if [ -n "${problems//$'\n'/}" ]; then
        failed=1
        echo "FAIL $name ($count checks ok)"
        echo "$problems" | sed '/^$/d; s/^/  /'
        echo "  --- guest log ---"
        sed 's/^/  | /' "$log" | tail -n 80
    else
        echo "ok   $name ($count checks)"
    fi
    sed -n "s/^FIGURE /  figure ($name): /p" "$log"
done
echo "tests/vm: ${#cases[@]} cases, kernel $kernel, $accel, $(($(date +%s) - started)) s"
exit $failed
