#!/bin/sh
# The guest's first program: loads the drivers a case names, runs osdex and vm_port_driver
# against QEMU's emulated port at 0x378, and prints one "CHECK name ok|FAIL why" line per
# check, then "CASE-END name". The case comes from the kernel command line (vmcase=NAME).
# Users: root, bench (uid 1000, not in lp), benchlp (uid 1001, in lp).

/bin/busybox --install -s /bin
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev
mkdir -p /tmp && mount -t tmpfs tmp /tmp
export PATH=/bin HOME=/tmp LANG=C.UTF-8
unset VANLPT_PORTS

case_name=$(sed -n 's/.*vmcase=\([a-z_]*\).*/\1/p' /proc/cmdline)
osdex=/bin/osdex
driver=/bin/vm_port_driver

ok() { echo "CHECK $1 ok"; }
fail() { echo "CHECK $1 FAIL $2"; }

# run NAME COMMAND...: the command's output in /tmp/NAME.out (shown in the log), its exit
# status in $status. A command that does not end within 30 s is killed (status 137).
run() {
    local name=$1
    shift
    timeout -s KILL 30 "$@" >/tmp/"$name".out 2>&1
    status=$?
    sed "s/^/  $name| /" /tmp/"$name".out
}

# expect NAME STATUS [+TEXT|-TEXT]...: the last run of NAME ended with STATUS, its output
# holds every +TEXT and none of the -TEXT.
expect() {
    local name=$1 want=$2 text
    shift 2
    if [ "$status" != "$want" ]; then
        fail "$name" "exit status $status, want $want"
        return
    fi
    for text in "$@"; do
        case $text in
        +*) grep -qF -- "${text#+}" /tmp/"$name".out || {
            fail "$name" "no \"${text#+}\""
            return
        } ;;
        -*) if grep -qF -- "${text#-}" /tmp/"$name".out; then
            fail "$name" "says \"${text#-}\""
            return
        fi ;;
        esac
    done
    ok "$name"
}

# The last line of the last run of NAME holds TEXT.
expect_last_line() {
    if tail -n 1 /tmp/"$1".out | grep -qF -- "$2"; then ok "$1_last_line"; else fail "$1_last_line" "last line: $(tail -n 1 /tmp/"$1".out)"; fi
}

# Put before a command (unquoted): runs it as that user.
as_bench="$driver as 1000 1000 -"
as_benchlp="$driver as 1001 1001 7"

load() { for m in "$@"; do insmod /lib/modules/"$m".ko || echo "INFO insmod $m failed"; done; }

# The device nodes as Debian's udev leaves them: group lp, mode 0660.
debian_nodes() { for d in /dev/parport*; do [ -e "$d" ] && chown root:lp "$d" && chmod 660 "$d"; done; }

# The driver's own checks; its output goes to the log as it is.
bus_checks() { "$driver" bus "$1" 0x378 2>&1; }

pin17_high_after() {
    local name=$1
    shift
    run "$name"_run "$@"
    run "$name" "$driver" pins 0x378
    expect "$name" 0 +pin17=1
}

case_nodriver() {
    run doctor_default "$osdex" doctor
    expect doctor_default 0 "+/dev/parport0 does not exist" "+sudo modprobe parport_pc" "+the board answers"
    run doctor_sim_chosen "$osdex" --port sim doctor
    expect doctor_sim_chosen 0 -modprobe -problem: "+the board answers"
    run open_missing "$osdex" --port /dev/parport0 read 133
    expect open_missing 1 "+/dev/parport0 does not exist"
    run doctor_mapped_missing "$osdex" --port /dev/parport0 doctor
    expect doctor_mapped_missing 1 "+does not exist"
    bus_checks io:0x378
    run doctor_direct "$osdex" --port io:0x378 doctor
    expect doctor_direct 1 "+direct I/O: possible" "+no board answers"
}

case_pconly() {
    load parport parport_pc
    run doctor_no_ppdev "$osdex" doctor
    expect doctor_no_ppdev 1 "+parport0" "+sudo modprobe ppdev" -parport_pc
    expect_last_line doctor_no_ppdev "cannot be used"
    mknod /dev/parport0 c 99 0
    run open_no_ppdev "$osdex" --port /dev/parport0 read 133
    expect open_no_ppdev 1 "+has no driver" "+sudo modprobe ppdev"
    rm /dev/parport0
    bus_checks io:0x378
}

case_ppdev() {
    load parport parport_pc ppdev
    debian_nodes
    bus_checks /dev/parport0
    run doctor_no_board "$osdex" --port /dev/parport0 doctor
    expect doctor_no_board 1 "+can be claimed" "+no board answers" "+connect and power the board"
    pin17_high_after pins_after_osdex "$osdex" --port /dev/parport0 write 7 90
    run doctor_dev_null "$osdex" --port /dev/null doctor
    expect doctor_dev_null 1 "+is not a parallel port device" "+name a port device" "-connect and power"
    run doctor_folder "$osdex" --port /tmp doctor
    expect doctor_folder 1 "+/tmp is a folder" "+name a port device" "-connect and power"
    run doctor_root_groups "$osdex" doctor
    expect doctor_root_groups 1 "-usermod"
}

# A second program that claims the port (with PPEXCL or without) and keeps it.
hold() {
    rm -f /tmp/holder.out
    "$driver" hold /dev/parport0 "$1" >/tmp/holder."$1" 2>&1 &
    holder=$!
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        grep -q "HOLDING $1" /tmp/holder."$1" && break
        sleep 1
    done
    grep -q "HOLDING $1" /tmp/holder."$1" && ok "holder_$1" || fail "holder_$1" "$(cat /tmp/holder."$1")"
}

let_go() {
    kill "$holder"
    wait "$holder"
}

case_holders() {
    load parport parport_pc ppdev
    debian_nodes
    for how in excl shared; do
        hold $how
        run doctor_"$how"_holder "$osdex" doctor
        expect doctor_"$how"_holder 1 "+held by another program" "-fix: sudo modprobe ppdev" "-no parallel port hardware"
        expect_last_line doctor_"$how"_holder "cannot be used"
        run open_"$how"_holder "$osdex" --port /dev/parport0 read 133
        expect open_"$how"_holder 1 "+held by another program" "-no parallel port hardware"
        let_go
    done
}

case_lp() {
    load parport parport_pc ppdev lp
    debian_nodes
    run open_lp "$osdex" --port /dev/parport0 read 133
    expect open_lp 1 "+held by the printer driver lp" "+sudo rmmod lp" "-no parallel port hardware"
    run doctor_lp "$osdex" doctor
    expect doctor_lp 1 "+held by the printer driver lp" "+sudo rmmod lp" "-fix: sudo modprobe ppdev"
    expect_last_line doctor_lp "cannot be used"
}

case_users() {
    load parport parport_pc ppdev
    debian_nodes
    run user_open $as_bench "$osdex" --port /dev/parport0 read 133
    expect user_open 1 "+no permission to open /dev/parport0" "+usermod -aG lp"
    run user_doctor $as_bench "$osdex" doctor
    expect user_doctor 1 "+usermod -aG lp" "+could not be used"
    expect_last_line user_doctor "cannot be used"
    run user_direct $as_bench "$osdex" --port io:0x378 read 133
    expect user_direct 1 "+needs root or CAP_SYS_RAWIO"
    run member_doctor $as_benchlp "$osdex" --port /dev/parport0 doctor
    expect member_doctor 1 "+can be claimed" "+no board answers" -usermod
    chown root:root /dev/parport0
    chmod 600 /dev/parport0
    run member_wrong_node $as_benchlp "$osdex" doctor
    expect member_wrong_node 1 "+group root" "+mode 0600" "-fix: sudo usermod -aG lp"
    run member_wrong_node_open $as_benchlp "$osdex" --port /dev/parport0 read 133
    expect member_wrong_node_open 1 "+group root" "-then log out and in again"
}

case_lockdown() {
    load parport parport_pc ppdev
    debian_nodes
    run lockdown_direct "$osdex" --port io:0x378 read 133
    expect lockdown_direct 1 "+lockdown"
    run lockdown_doctor "$osdex" --port io:0x378 doctor
    expect lockdown_doctor 1 "+lockdown" "-direct I/O: possible"
    mount -t securityfs securityfs /sys/kernel/security
    run lockdown_doctor_securityfs "$osdex" --port io:0x378 doctor
    expect lockdown_doctor_securityfs 1 "+lockdown" "-direct I/O: possible"
    run lockdown_ppdev "$osdex" --port /dev/parport0 doctor
    expect lockdown_ppdev 1 "+can be claimed" "+no board answers"
}

echo "CASE-START $case_name"
if type "case_$case_name" >/dev/null 2>&1; then
    "case_$case_name"
else
    fail case "no case named '$case_name'"
fi
echo "CASE-END $case_name"
sync
poweroff -f
