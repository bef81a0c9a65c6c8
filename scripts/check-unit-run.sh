#!/usr/bin/env bash
# A publishing logger under the restrictions of levelpanel-record@.service, where no
# systemd runs the unit (a container, CI): levelpanel-cli record against levelpanel-sim
# on a pseudo-terminal (group dialout, mode 660, as a USB adapter) and a mosquitto on
# 127.0.0.1, run as nobody:dialout without capabilities and with no_new_privs, umask
# 0027, in a mount namespace whose root is read-only but for its folder and /run/lock,
# with a private /tmp. strace records its system calls, and the check fails on any
# call outside @system-service, a socket other than AF_UNIX/AF_INET/AF_INET6, a device
# other than a pseudo-terminal, a writable and executable mapping, or no record or
# sample at all. The cgroup device list itself needs systemd and is not checked here.
# With `collect`, the same for a collector under the restrictions of
# levelpanel-collect@.service (as nobody:nogroup, writable only its folder), fed by an
# unrestricted logger: it must keep the logger's records, and may open no device but
# those PrivateDevices= leaves (null, zero, full, random, urandom, tty).
# Run as root, by hand: scripts/check-unit-run.sh [BUILD [record|collect]] (needs
# strace, unshare, setpriv, mosquitto, mosquitto_sub).
set -uo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
what=${2:-record}
work=$(mktemp -d /var/tmp/levelpanel-unit-run.XXXXXX)
chmod 755 "$work"
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT
port=$((20000 + RANDOM % 10000))
printf 'listener %s 127.0.0.1\nallow_anonymous true\n' "$port" >"$work/mosquitto.conf"
mosquitto -c "$work/mosquitto.conf" >"$work/mosquitto.log" 2>&1 &
pids+=($!)
"$build/tools/levelpanel-sim" --level 65.3 >"$work/sim.out" 2>&1 &
pids+=($!)
sleep 1
pty=$(head -1 "$work/sim.out")
chgrp dialout "$pty" && chmod 660 "$pty"
mosquitto_sub -h 127.0.0.1 -p "$port" -t 'lp/#' -v >"$work/samples.log" 2>&1 &
pids+=($!)
mkdir "$work/data" && chown nobody "$work/data"
cp "$build/src/cli/levelpanel-cli" "$work/levelpanel-cli"
url="mqtt://127.0.0.1:$port/lp"
if [ "$what" = collect ]; then
    mkdir "$work/logger"
    (cd "$work/logger" && exec "$build/src/cli/levelpanel-cli" record --port "$pty" --every 1 \
        --out log.sdm --publish "$url" --id unit) >"$work/logger.out" 2>&1 &
    pids+=($!)
    command="collect $url --dir archive --id unit-collector"
    groups=nogroup
    lock=true  # /run/lock stays read-only
else
    command="record --port $pty --every 1 --out log.sdm --publish $url --id unit"
    groups=dialout
    lock="mount --bind /run/lock /run/lock"
fi

unshare --mount --propagation private sh -c "
  mount --bind '$work/data' '$work/data' && $lock &&
  mount -t tmpfs tmpfs /tmp && mount -o remount,bind,ro / &&
  exec setpriv --reuid=nobody --regid=nogroup --groups=$groups --inh-caps=-all \
      --bounding-set=-all --no-new-privs --reset-env \
      env QT_ENABLE_REGEXP_JIT=0 sh -c 'cd $work/data && umask 0027 &&
        exec strace -f -qq -o strace.log $work/levelpanel-cli $command'
" >"$work/cli.out" 2>"$work/cli.err" &
runner=$!
sleep 8
if [ "$what" = collect ]; then
    kill -TERM "${pids[-1]}"  # the logger: its last records and "stopped" go out
    sleep 2
fi
kill -TERM "$(pgrep -f "^$work/levelpanel-cli $what")"
wait "$runner"
status=$?
sleep 1

failed=0
fail() { echo "FAIL: $*"; failed=1; }
[ "$status" = 0 ] || fail "$what ended with status $status: $(cat "$work/cli.err")"
samples=$(grep -c '^lp/unit/sample ' "$work/samples.log")
[ "$samples" -ge 3 ] || fail "$samples sample(s) published"
grep -q '"state":"stopped"' "$work/samples.log" || fail "no \"stopped\" status"
if [ "$what" = collect ]; then
    records=$(($(wc -l <"$work/data/archive/unit/log.sdm") - 1))
    [ "$records" -ge 3 ] || fail "$records record(s) collected"
    for f in log.sdm log.sdm.meta; do
        [ ! -e "$work/logger/$f" ] || cmp -s "$work/logger/$f" "$work/data/archive/unit/$f" ||
            fail "the collected $f differs from the logger's"
    done
    allowed_devices='"/dev/(null|zero|full|random|urandom|tty)"'
else
    records=$(($(wc -l <"$work/data/log.sdm") - 1))
    [ "$records" -ge 3 ] || fail "$records record(s) written"
    allowed_devices='"/dev/pts/'
fi

# The calls of @system-service, its groups unfolded.
unfold() {
    systemd-analyze syscall-filter "$1" | sed -n '2,$p' | sed 's/^ *//' |
        grep -v -e '^#' -e '^$' | while read -r call; do
        case $call in @*) unfold "$call" ;; *) echo "$call" ;; esac
    done
}
unfold @system-service | sort -u >"$work/allowed.txt"
log="$work/data/strace.log"
sed -n 's/^[0-9]* *\([a-z0-9_]*\)(.*/\1/p' "$log" | sort -u >"$work/used.txt"
outside=$(comm -23 "$work/used.txt" "$work/allowed.txt" | tr '\n' ' ')
[ -z "$outside" ] || fail "system calls outside @system-service: $outside"
families=$(grep -o 'socket(AF_[A-Z0-9]*' "$log" | sort -u | grep -v -e AF_UNIX -e AF_INET)
[ -z "$families" ] || fail "sockets of other families: $families"
devices=$(grep -o 'open[a-z]*(AT_FDCWD, "/dev/[^"]*"' "$log" | grep -v -E "$allowed_devices" | sort -u)
[ -z "$devices" ] || fail "devices it may not open: $devices"
wx=$(grep -E '^[0-9]+ +(mmap|mprotect)\(.*PROT_WRITE.*PROT_EXEC|PROT_EXEC.*PROT_WRITE' "$log")
[ -z "$wx" ] || fail "writable and executable mappings: $wx"

echo "check-unit-run ($what): $records record(s) kept, $samples sample(s) published; $(wc -l \
    <"$work/used.txt") kinds of system call, all in @system-service"
exit $failed
