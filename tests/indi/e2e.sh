#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# End to end: indi_selvane_telescope under the real indiserver, driven by INDI's own command-line
# clients over 127.0.0.1, against the mount simulator (in-process with SIMULATION, or selvane-sim
# on a pseudo-terminal). HOME is a temporary folder; every process started here is ended here.
# Usage: e2e.sh SCENARIO DRIVER_DIR SIM_DIR [WINDOW_DIR]
#   (connect, goto, motion, bad_input, silent, link_lost, stray_stops, long_text, bad_period,
#    motion_timeout, crash_stop, ser2net, skysafari, object, sun, shared, pointing_model, site, english)
set -euo pipefail
scenario="$1"
export PATH="$2:$3:${4:-$3}:$PATH:/usr/sbin"
work="$(mktemp -d)"
export HOME="$work"
export SELVANE_SIM_TRACE="$work/trace"
pids=()
cleanup() {
    local status=$?
    for pid in "${pids[@]}"; do kill -CONT "$pid" 2>/dev/null || true; kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    if [ "$status" -ne 0 ]; then
        echo "--- server log"; cat "$work/server.log" 2>/dev/null || true
        echo "--- trace"; tail -40 "$work/trace" 2>/dev/null || true
    fi
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
port="$(free_port)"
set_() { indi_setprop -h 127.0.0.1 -p "$port" "$@"; }
# Raw XML, for what indi_setprop will not send (an unknown element, a huge text).
send_xml() {
    python3 -c 'import socket,sys; s=socket.create_connection(("127.0.0.1",int(sys.argv[1]))); s.sendall(sys.argv[2].encode()+b"\n"); s.close()' "$port" "$1"
}
# Everything the server sends a client for SECONDS, as XML, into FILE (messages included).
listen() {
    python3 -c 'import socket,sys,time
s=socket.create_connection(("127.0.0.1",int(sys.argv[1]))); s.sendall(b"<getProperties version=\"1.7\"/>\n")
end=time.time()+float(sys.argv[2]); out=open(sys.argv[3],"wb")
while time.time()<end:
    s.settimeout(0.1)
    try: data=s.recv(65536)
    except socket.timeout: continue
    if not data: break
    out.write(data); out.flush()' "$port" "$1" "$2" &
    pids+=($!)
    for _ in $(seq 50); do [ -s "$2" ] && return 0; sleep 0.05; done
    fail "the listening client got nothing"
}
get() { indi_getprop -h 127.0.0.1 -p "$port" -t 2 -1 "$1"; }
wait_for() { indi_eval -h 127.0.0.1 -p "$port" -t "${2:-10}" -w "$1" >/dev/null || fail "timed out waiting for $1"; }
# Every command the simulator received, in order, blanks kept (":RS# " shows as ":RS# ").
received() { sed -n 's/^ *[0-9.]* <- "\(.*\)"$/\1/p' "$SELVANE_SIM_TRACE" | tr -d '\n'; }
frames() { received | grep -o ':[^:#]*#'; }
# The same without the position queries, which interleave with everything else.
commands() { received | sed 's/:R#//g; s/:D#//g'; }
wait_received() {
    for _ in $(seq 100); do commands | grep -qF -- "$1" && return 0; sleep 0.05; done
    fail "the simulator never received '$1'; it got: $(commands)"
}

drivers=(indi_selvane_telescope)
[ "$scenario" != skysafari ] || drivers+=(indi_skysafari)
# The driver takes the simulator's slew rate from indiserver's environment.
[ "$scenario" != shared ] || export SELVANE_SIM_SLEW_RATE=30
[ "$scenario" != goto ] || export SELVANE_SIM_SLEW_RATE=15
[ "$scenario" != sun ] || export SELVANE_SIM_SLEW_RATE=60
# The driver takes its environment when indiserver starts it, before any scenario runs: a mount
# 1° off the pole, with cone, non-perpendicular axes and index errors (arc minutes), at 45° N 5° E.
if [ "$scenario" = pointing_model ]; then
    export SELVANE_SIM_SLEW_RATE=60 SELVANE_SIM_ERRORS="30,30,10,5,42,42,45,5"
fi
# An English user's driver: the locale says so, nothing forces a language.
if [ "$scenario" = english ]; then
    export LANG=en_GB.UTF-8 LANGUAGE= LC_ALL= LC_MESSAGES= SELVANE_LANGUE=
fi
# The free port may be taken before indiserver binds it: then it ends at once, and a new port is
# tried; a server that ends for any other reason is a failure, not retried.
start_server() {
    local server
    for _ in 1 2 3; do
        indiserver -p "$port" -u "$work/indi.sock" -r 0 -v "${drivers[@]}" >"$work/server.log" 2>&1 &
        server=$!
        pids+=("$server")
        for _ in $(seq 50); do
            get Selvane.CONNECTION.CONNECT >/dev/null 2>&1 && return 0
            kill -0 "$server" 2>/dev/null || break
            sleep 0.1
        done
        kill -0 "$server" 2>/dev/null || ! grep -q 'bind' "$work/server.log" || { port="$(free_port)"; continue; }
        break
    done
    fail "indiserver did not come up"
}
connect_simulated() {
    set_ "Selvane.SIMULATION.ENABLE=On"
    set_ "Selvane.POLLING_PERIOD.PERIOD_MS=300"
    set_ "Selvane.CONNECTION.CONNECT=On"
    wait_for '"Selvane.CONNECTION.CONNECT"==1 && "Selvane.CONNECTION._STATE"==1'
}
# The standalone simulator on a pseudo-terminal, its traffic in the trace file; sets sim_pid and device.
start_sim() {
    : >"$SELVANE_SIM_TRACE"
    selvane-sim "$@" >"$SELVANE_SIM_TRACE" &
    pids+=($!)
    sim_pid=$!
    for _ in $(seq 50); do [ -s "$SELVANE_SIM_TRACE" ] && break; sleep 0.1; done
    device="$(head -1 "$SELVANE_SIM_TRACE")"
    [ -e "$device" ] || fail "selvane-sim gave no device"
}
# ser2net in raw mode serving DEVICE on 127.0.0.1:PORT; sets ser2net_pid.
start_ser2net() {
    printf 'connection: &selvane\n  accepter: tcp,127.0.0.1,%s\n  connector: serialdev,%s,9600n81,local\n' \
        "$2" "$1" >"$work/ser2net.yaml"
    ser2net -n -u -c "$work/ser2net.yaml" -P "$work/ser2net.pid" >>"$work/ser2net.log" 2>&1 &
    pids+=($!)
    ser2net_pid=$!
    local hex; hex="$(printf ':%04X' "$2")"
    for _ in $(seq 50); do awk '$4 == "0A" { print $2 }' /proc/net/tcp | grep -q "$hex\$" && return 0; sleep 0.1; done
    fail "ser2net does not listen on $2"
}
# Sends LX200 commands to indi_skysafari as a phone planetarium does, checking each reply.
# Arguments: the port, then pairs of a command and its expected reply ("" when it has none).
lx200() {
    python3 - "$@" <<'EOF' || fail "LX200 exchange: $*"
import socket, sys, time
port, pairs = int(sys.argv[1]), sys.argv[2:]
deadline = time.monotonic() + 10
while True:
    try:
        link = socket.create_connection(("127.0.0.1", port), timeout=1)
        break
    except OSError:
        if time.monotonic() > deadline:
            sys.exit("indi_skysafari does not listen")
        time.sleep(0.1)
link.settimeout(5)
for command, expected in zip(pairs[0::2], pairs[1::2]):
    link.sendall(command.encode())
    got = b""
    while len(got) < len(expected):
        chunk = link.recv(64)
        if not chunk:
            break
        got += chunk
    if got.decode() != expected:
        sys.exit(f"{command}: got {got!r}, expected {expected!r}")
EOF
}
# A program on the shared port: sends COMMANDS, then reads for SECONDS (or until "Ok") and prints
# what came.
program() {
    python3 - "$shared" "$@" <<'EOF'
import socket, sys, time
link = socket.create_connection(("127.0.0.1", int(sys.argv[1])), timeout=1)
link.sendall(sys.argv[2].encode())
end, got = time.monotonic() + float(sys.argv[3]), b""
while time.monotonic() < end and not got.endswith(b"Ok"):
    link.settimeout(max(0.01, end - time.monotonic()))
    try:
        chunk = link.recv(64)
    except socket.timeout:
        break
    if not chunk:
        break
    got += chunk
print(got.decode(errors="replace"))
EOF
}
near() { python3 -c "import sys; sys.exit(0 if abs($1 - ($2)) <= $3 else 1)" || fail "$4: $1 is not $2"; }

start_server
case "$scenario" in
connect)
    connect_simulated
    # Nothing but the check query and position queries on connecting.
    [ -z "$(frames | grep -v -e '^:R#$' -e '^:D#$')" ] || fail "connecting sent $(frames | tr '\n' ' ')"
    wait_for '"Selvane.EQUATORIAL_EOD_COORD._STATE"==1'
    [ "$(get Selvane.TELESCOPE_SLEW_RATE.1x)" = On ] || fail "Sidéral is not shown first"
    [ "$(get Selvane.AUTOGUIDING.AUTOGUIDING_OFF)" = On ] || fail "autoguiding not shown off"
    all="$(indi_getprop -h 127.0.0.1 -p "$port" -t 2 'Selvane.*.*')"
    for absent in TELESCOPE_ABORT_MOTION TELESCOPE_PARK TELESCOPE_TRACK_STATE TELESCOPE_TRACK_MODE TIME_UTC \
        DEVICE_BAUD_RATE; do
        ! grep -q "^Selvane\.$absent\." <<<"$all" || fail "$absent is offered"
    done
    # The position follows the mount: a fast move north for a moment.
    set_ "Selvane.TELESCOPE_SLEW_RATE.4x=On"
    set_ "Selvane.TELESCOPE_MOTION_NS.MOTION_NORTH=On"
    sleep 1
    set_ "Selvane.TELESCOPE_MOTION_NS.MOTION_NORTH=Off"
    wait_received ":0#:S#"
    sleep 0.8
    dec="$(get Selvane.EQUATORIAL_EOD_COORD.DEC)"
    near "$dec" 3 1 "declination after a second at 3°/s"
    set_ "Selvane.CONNECTION.DISCONNECT=On"
    wait_for '"Selvane.CONNECTION.DISCONNECT"==1'
    ! get Selvane.EQUATORIAL_EOD_COORD.RA >/dev/null 2>&1 || fail "position still offered when disconnected"
    # Connecting again works.
    set_ "Selvane.CONNECTION.CONNECT=On"
    wait_for '"Selvane.CONNECTION.CONNECT"==1 && "Selvane.CONNECTION._STATE"==1'
    ;;
goto)
    connect_simulated
    wait_for '"Selvane.EQUATORIAL_EOD_COORD._STATE"==1'
    : >"$SELVANE_SIM_TRACE"
    set_ "Selvane.EQUATORIAL_EOD_COORD.RA;DEC=6;45"
    wait_for '"Selvane.EQUATORIAL_EOD_COORD._STATE"==2' 2
    # During the slew every property answers and a change goes out at once.
    started=$(date +%s%N)
    get Selvane.POLLING_PERIOD.PERIOD_MS >/dev/null
    (( ($(date +%s%N) - started) / 1000000 < 1000 )) || fail "a property read took over a second during the slew"
    set_ "Selvane.AUTOGUIDING.AUTOGUIDING_ON=On"
    wait_received ":A#"
    # A second GOTO while one is under way is refused and changes nothing.
    set_ "Selvane.EQUATORIAL_EOD_COORD.RA;DEC=1;1"
    wait_for '"Selvane.EQUATORIAL_EOD_COORD._STATE"==1' 30
    got="$(frames | sed -n '/^:r/,$p' | tr '\n' ' ')"
    expected_head=":r+004,-06912# :d+002,-11072# :T# :A# :r+004,-0"
    [[ "$got" == "$expected_head"* ]] || fail "GOTO sent: $got"
    [[ "$got" =~ :T#\ :A#\ (:r[^#]*#)\ :T#\ :r\+004,-06912#\ :i# ]] || fail "GOTO sent: $got"
    corrected="${BASH_REMATCH[1]}"
    [ "$corrected" != ":r+004,-06912#" ] || fail "no compensation for a slew of several seconds"
    ! grep -q ':R#' <<<"${got%%:i#*}" || fail "position query during the GOTO: $got"
    wait_for 'abs("Selvane.EQUATORIAL_EOD_COORD.RA" - 6) < 0.01 && abs("Selvane.EQUATORIAL_EOD_COORD.DEC" - 45) < 0.01'
    # Sync: the initialisation's three commands, and the mount takes the target at once.
    : >"$SELVANE_SIM_TRACE"
    set_ "Selvane.ON_COORD_SET.SYNC=On"
    set_ "Selvane.EQUATORIAL_EOD_COORD.RA;DEC=1;10"
    wait_received ":i#"
    [ "$(frames | grep -v -e '^:R#$' -e '^:D#$' | tr '\n' ' ')" = ":r+000,+15232# :d+000,+26667# :i# " ] \
        || fail "sync sent: $(frames | tr '\n' ' ')"
    wait_for 'abs("Selvane.EQUATORIAL_EOD_COORD.RA" - 1) < 0.01 && abs("Selvane.EQUATORIAL_EOD_COORD.DEC" - 10) < 0.01'
    ;;
motion)
    connect_simulated
    : >"$SELVANE_SIM_TRACE"
    expected=""
    move() { # axis element start-bytes stop-bytes
        set_ "Selvane.$1.$2=On"; wait_received "$expected$3"; expected+="$3"
        set_ "Selvane.$1.$2=Off"; wait_received "$expected$4"; expected+="$4"
    }
    speeds=(":S#  " ":C#  " ":G#  " ":M#  ")
    # Before any rate is chosen, a move starts with ":RS# ".
    move TELESCOPE_MOTION_NS MOTION_NORTH ":RS# :n#" ":0#:S#"
    for rate in 1 2 3 4; do
        set_ "Selvane.TELESCOPE_SLEW_RATE.${rate}x=On"
        s="${speeds[rate - 1]}"
        move TELESCOPE_MOTION_NS MOTION_NORTH "$s:n#" ":0#:S#"
        move TELESCOPE_MOTION_NS MOTION_SOUTH "$s:s#" ":0#:S#"
        move TELESCOPE_MOTION_WE MOTION_EAST "$s:e#" ":w#:S#"
        move TELESCOPE_MOTION_WE MOTION_WEST "$s:w#" ":w#:S#"
    done
    set_ "Selvane.AUTOGUIDING.AUTOGUIDING_ON=On"; wait_received "$expected:A#"; expected+=":A#"
    set_ "Selvane.AUTOGUIDING.AUTOGUIDING_OFF=On"; wait_received "$expected:a#"; expected+=":a#"
    # Only position queries besides what was asked for.
    [ "$(commands)" = "$expected" ] || fail "moves sent: $(commands)"
    # A move still under way is ended before the port closes: on disconnect, and when indiserver stops.
    set_ "Selvane.TELESCOPE_MOTION_WE.MOTION_EAST=On"; wait_received "$expected:M#  :e#"
    set_ "Selvane.CONNECTION.DISCONNECT=On"
    wait_for '"Selvane.CONNECTION.DISCONNECT"==1'
    [[ "$(commands)" == *":M#  :e#:w#:S#" ]] || fail "disconnect did not stop the move: $(commands)"
    set_ "Selvane.CONNECTION.CONNECT=On"
    wait_for '"Selvane.CONNECTION.CONNECT"==1 && "Selvane.CONNECTION._STATE"==1'
    set_ "Selvane.TELESCOPE_MOTION_NS.MOTION_SOUTH=On"; wait_received ":RS# :s#"
    kill "${pids[0]}"; wait "${pids[0]}" 2>/dev/null || true
    for _ in $(seq 50); do [[ "$(commands)" == *":RS# :s#:0#:S#" ]] && break; sleep 0.1; done
    [[ "$(commands)" == *":RS# :s#:0#:S#" ]] || fail "stopping indiserver did not stop the move: $(commands)"
    ;;
bad_input)
    # Commands while disconnected: refused, nothing sent, the driver alive.
    set_ -s "Selvane.TELESCOPE_MOTION_NS.MOTION_NORTH=On"
    set_ -s "Selvane.AUTOGUIDING.AUTOGUIDING_ON=On"
    set_ -n "Selvane.EQUATORIAL_EOD_COORD.RA;DEC=1;1"
    get Selvane.CONNECTION.CONNECT >/dev/null || fail "the driver stopped answering"
    connect_simulated
    [ -z "$(frames | grep -v -e '^:R#$' -e '^:D#$')" ] || fail "commands sent while disconnected: $(frames | tr '\n' ' ')"
    wait_for '"Selvane.EQUATORIAL_EOD_COORD._STATE"==1'
    : >"$SELVANE_SIM_TRACE"
    set_ "Selvane.POLLING_PERIOD.PERIOD_MS=60000" # so that no query puts the property back to Ok
    sleep 0.7 # the query already scheduled goes first
    listen 3 "$work/messages"
    for target in "nan;10" "5;inf" "25;0" "-1;0" "3;91" "3;-90.5" "abc;10"; do
        set_ "Selvane.EQUATORIAL_EOD_COORD.RA;DEC=$target"
    done
    wait_for '"Selvane.EQUATORIAL_EOD_COORD._STATE"==3' 5
    sleep 0.5
    grep -q "AD illisible" "$work/messages" || fail "an unreadable RA was not said to be unreadable"
    get Selvane.CONNECTION.CONNECT >/dev/null || fail "the driver stopped answering"
    [ -z "$(frames | grep -v -e '^:R#$' -e '^:D#$')" ] || fail "a refused target sent $(frames | tr '\n' ' ')"
    [ "$(get Selvane.EQUATORIAL_EOD_COORD.RA)" = 0 ] || fail "a refused target changed the position"
    ;;
link_lost)
    # The standalone simulator ends (a pulled adapter): said once, Alert, and reconnecting works.
    start_sim() {
        : >"$work/sim.out"
        selvane-sim >"$work/sim.out" &
        pids+=($!)
        sim_pid=$!
        for _ in $(seq 50); do [ -s "$work/sim.out" ] && break; sleep 0.1; done
        set_ "Selvane.DEVICE_PORT.PORT=$(head -1 "$work/sim.out")"
    }
    start_sim
    set_ "Selvane.CONNECTION.CONNECT=On"
    wait_for '"Selvane.CONNECTION.CONNECT"==1 && "Selvane.CONNECTION._STATE"==1'
    kill "$sim_pid"
    wait_for '"Selvane.CONNECTION._STATE"==3 && "Selvane.EQUATORIAL_EOD_COORD._STATE"==3' 5
    start_sim
    set_ "Selvane.CONNECTION.DISCONNECT=On"
    wait_for '"Selvane.CONNECTION.DISCONNECT"==1'
    set_ "Selvane.CONNECTION.CONNECT=On"
    wait_for '"Selvane.CONNECTION.CONNECT"==1 && "Selvane.CONNECTION._STATE"==1'
    ;;
silent)
    # The standalone simulator on a pseudo-terminal, stopped and resumed: a controller that falls silent.
    selvane-sim >"$work/sim.out" &
    pids+=($!)
    sim_pid=$!
    for _ in $(seq 50); do [ -s "$work/sim.out" ] && break; sleep 0.1; done
    device="$(head -1 "$work/sim.out")"
    [ -e "$device" ] || fail "selvane-sim gave no device"
    set_ "Selvane.DEVICE_PORT.PORT=$device"
    set_ "Selvane.POLLING_PERIOD.PERIOD_MS=300"
    set_ "Selvane.CONNECTION.CONNECT=On"
    wait_for '"Selvane.CONNECTION.CONNECT"==1 && "Selvane.EQUATORIAL_EOD_COORD._STATE"==1'
    kill -STOP "$sim_pid"
    wait_for '"Selvane.EQUATORIAL_EOD_COORD._STATE"==3' 6
    # Every property still answers; the last position stands.
    [ "$(get Selvane.EQUATORIAL_EOD_COORD.RA)" = 0 ] || fail "position changed while silent"
    kill -CONT "$sim_pid"
    wait_for '"Selvane.EQUATORIAL_EOD_COORD._STATE"==1' 10
    # A controller silent from the start refuses the connection, with a message.
    set_ "Selvane.CONNECTION.DISCONNECT=On"
    wait_for '"Selvane.CONNECTION.DISCONNECT"==1'
    kill -STOP "$sim_pid"
    set_ "Selvane.CONNECTION.CONNECT=On"
    wait_for '"Selvane.CONNECTION.DISCONNECT"==1 && "Selvane.CONNECTION._STATE"==3' 6
    kill -CONT "$sim_pid"
    ;;
stray_stops)
    connect_simulated
    : >"$SELVANE_SIM_TRACE"
    # ":w#" is a toggle on the controller: a stop with no move open must send nothing.
    set_ "Selvane.TELESCOPE_MOTION_WE.MOTION_WEST=Off"
    set_ "Selvane.TELESCOPE_MOTION_NS.MOTION_NORTH=Off"
    send_xml '<newSwitchVector device="Selvane" name="TELESCOPE_MOTION_WE"><oneSwitch name="UP">On</oneSwitch></newSwitchVector>'
    sleep 0.5
    [ -z "$(commands)" ] || fail "stops with nothing open sent $(commands)"
    [ "$(get Selvane.TELESCOPE_MOTION_WE._STATE)" = Idle ] || fail "WE not shown idle"
    # Random presses and releases: what is shown is always the mount's, and all off ends stopped.
    # The mount as its commands leave it: ":w#" ends the RA move open, or starts one west.
    mount() { python3 -c 'import re,sys
ra=dec=None
for c in re.findall(r":([^:#]*)#", sys.argv[1]):
    if c in ("n","s"): dec="MOTION_NORTH" if c=="n" else "MOTION_SOUTH"
    elif c=="0": dec=None
    elif c=="e": ra="MOTION_EAST"
    elif c=="w": ra=None if ra else "MOTION_WEST"
print(dec or "-", ra or "-")' "$(commands)"; }
    shown() {
        local ns=- we=-
        for e in MOTION_NORTH MOTION_SOUTH; do [ "$(get "Selvane.TELESCOPE_MOTION_NS.$e")" = On ] && ns=$e; done
        for e in MOTION_WEST MOTION_EAST; do [ "$(get "Selvane.TELESCOPE_MOTION_WE.$e")" = On ] && we=$e; done
        echo "$ns $we"
    }
    RANDOM=22
    elements=(NS.MOTION_NORTH NS.MOTION_SOUTH WE.MOTION_WEST WE.MOTION_EAST)
    states=(On Off)
    for round in 1 2 3; do
        for _ in $(seq 100); do
            set_ "Selvane.TELESCOPE_MOTION_${elements[RANDOM % 4]}=${states[RANDOM % 2]}"
        done
        sleep 0.5
        [ "$(shown)" = "$(mount)" ] || fail "round $round: shown $(shown), the mount $(mount)"
    done
    set_ "Selvane.TELESCOPE_MOTION_NS.MOTION_NORTH=Off"
    set_ "Selvane.TELESCOPE_MOTION_NS.MOTION_SOUTH=Off"
    set_ "Selvane.TELESCOPE_MOTION_WE.MOTION_WEST=Off"
    set_ "Selvane.TELESCOPE_MOTION_WE.MOTION_EAST=Off"
    sleep 0.5
    [ "$(mount)" = "- -" ] || fail "all switches off left the mount moving: $(mount)"
    [ "$(get Selvane.TELESCOPE_MOTION_WE._STATE) $(get Selvane.TELESCOPE_MOTION_NS._STATE)" = "Idle Idle" ] \
        || fail "stopped but not shown idle"
    ;;
long_text)
    connect_simulated
    set_ "Selvane.TELESCOPE_SLEW_RATE.4x=On"
    set_ "Selvane.TELESCOPE_MOTION_NS.MOTION_NORTH=On"
    wait_received ":M#  :n#"
    # libindi crashed echoing a text of 64 KiB or more: refused, and the driver lives.
    send_xml "<newTextVector device=\"Selvane\" name=\"DEVICE_PORT\"><oneText name=\"PORT\">$(head -c 70000 /dev/zero | tr '\0' x)</oneText></newTextVector>"
    sleep 1
    get Selvane.CONNECTION.CONNECT >/dev/null || fail "the driver died on a long text"
    [ "$(get Selvane.DEVICE_PORT._STATE)" = Alert ] || fail "the long text was not refused"
    [ "$(get Selvane.DEVICE_PORT.PORT)" != "$(printf 'x%.0s' {1..100})"* ] || fail "the long text was taken"
    set_ "Selvane.TELESCOPE_MOTION_NS.MOTION_NORTH=Off"
    wait_received ":M#  :n#:0#:S#"
    ;;
bad_period)
    connect_simulated
    set_ "Selvane.POLLING_PERIOD.PERIOD_MS=nan"
    wait_for '"Selvane.POLLING_PERIOD._STATE"==3' 5
    [ "$(get Selvane.POLLING_PERIOD.PERIOD_MS)" = 300 ] || fail "a NaN period was taken"
    # A bad period in the saved configuration is refused when it is loaded.
    set_ "Selvane.CONFIG_PROCESS.CONFIG_SAVE=On"
    sleep 0.5
    sed -i "/name='POLLING_PERIOD'/,/<\/newNumberVector>/ s/^ *[0-9.]\+ *\$/nan/" "$HOME/.indi/Selvane_config.xml"
    grep -qx 'nan' "$HOME/.indi/Selvane_config.xml" || fail "no period in the saved configuration"
    kill "${pids[0]}"; wait "${pids[0]}" 2>/dev/null || true
    start_server
    set_ "Selvane.SIMULATION.ENABLE=On"
    set_ "Selvane.CONNECTION.CONNECT=On"
    wait_for '"Selvane.CONNECTION.CONNECT"==1 && "Selvane.CONNECTION._STATE"==1'
    [ "$(get Selvane.POLLING_PERIOD.PERIOD_MS)" = 1000 ] || fail "the saved NaN period came back"
    ;;
motion_timeout)
    connect_simulated
    set_ "Selvane.MOTION_TIMEOUT.MOTION_TIMEOUT_S=1"
    : >"$SELVANE_SIM_TRACE"
    listen 4 "$work/messages"
    # The client starts a move and is gone: the move ends by itself.
    set_ "Selvane.TELESCOPE_MOTION_WE.MOTION_EAST=On"
    wait_received ":RS# :e#"
    [ "$(get Selvane.TELESCOPE_MOTION_WE._STATE)" = Busy ] || fail "the move is not shown"
    wait_for '"Selvane.TELESCOPE_MOTION_WE._STATE"==0 && "Selvane.TELESCOPE_MOTION_WE.MOTION_EAST"==0' 3
    [ "$(commands)" = ":RS# :e#:w#:S#" ] || fail "the time-out sent $(commands)"
    grep -q "durée max" "$work/messages" || fail "no message for the time-out"
    ;;
crash_stop)
    # The driver dies in the middle of a move (a fault of libindi or ours): the move is ended.
    selvane-sim >"$work/sim.out" &
    pids+=($!)
    for _ in $(seq 50); do [ -s "$work/sim.out" ] && break; sleep 0.1; done
    set_ "Selvane.DEVICE_PORT.PORT=$(head -1 "$work/sim.out")"
    set_ "Selvane.CONNECTION.CONNECT=On"
    wait_for '"Selvane.CONNECTION.CONNECT"==1 && "Selvane.CONNECTION._STATE"==1'
    set_ "Selvane.TELESCOPE_MOTION_NS.MOTION_NORTH=On"
    set_ "Selvane.TELESCOPE_MOTION_WE.MOTION_EAST=On"
    sim_commands() { sed -n 's/^ *[0-9.]* <- "\(.*\)"$/\1/p' "$work/sim.out" | tr -d '\n' | sed 's/:R#//g; s/:D#//g'; }
    for _ in $(seq 50); do [[ "$(sim_commands)" == *":e#" ]] && break; sleep 0.1; done
    kill -SEGV "$(sed -n 's/.*Driver indi_selvane_telescope: pid=\([0-9]*\).*/\1/p' "$work/server.log" | head -1)"
    for _ in $(seq 50); do [[ "$(sim_commands)" == *":e#:0#:S#:w#:S#" ]] && break; sleep 0.1; done
    [[ "$(sim_commands)" == ":RS# :n#:RS# :e#:0#:S#:w#:S#" ]] || fail "the moves were not ended: $(sim_commands)"
    ;;
close_paths)
    # Each way the driver lets go of the line, with a move open: the stop it writes reaches the far
    # end (selvane-sim in a process of its own, so that nothing waits for it to read).
    driver_pid() { sed -n 's/.*Driver indi_selvane_telescope: pid=\([0-9]*\).*/\1/p' "$work/server.log" | tail -1; }
    server_pid="${pids[-1]}"
    for path in disconnect term int server_ends tcp; do
        start_sim
        if [ "$path" = tcp ]; then
            bridge="$(free_port)"
            start_ser2net "$device" "$bridge"
            set_ "Selvane.CONNECTION_MODE.CONNECTION_TCP=On"
            for _ in $(seq 50); do get Selvane.DEVICE_ADDRESS.PORT >/dev/null 2>&1 && break; sleep 0.1; done
            set_ "Selvane.DEVICE_ADDRESS.ADDRESS;PORT=127.0.0.1;$bridge"
        else
            set_ "Selvane.DEVICE_PORT.PORT=$device"
        fi
        set_ "Selvane.CONNECTION.CONNECT=On"
        wait_for '"Selvane.CONNECTION.CONNECT"==1 && "Selvane.CONNECTION._STATE"==1'
        if [ "$path" = tcp ]; then
            # The mode cannot change under a live line.
            set_ "Selvane.CONNECTION_MODE.CONNECTION_SERIAL=On"
            wait_for '"Selvane.CONNECTION_MODE._STATE"==3' 3
            [ "$(get Selvane.CONNECTION_MODE.CONNECTION_TCP)" = On ] || fail "the mode changed while connected"
        fi
        set_ "Selvane.TELESCOPE_MOTION_WE.MOTION_WEST=On"
        wait_received ":w#"
        case "$path" in
        disconnect | tcp) set_ "Selvane.CONNECTION.DISCONNECT=On" ;;
        term) kill -TERM "$(driver_pid)" ;;
        int) kill -INT "$(driver_pid)" ;;
        server_ends) kill -TERM "$server_pid" ;;
        esac
        for _ in $(seq 40); do [[ "$(commands)" == *":w#:w#:S#" ]] && break; sleep 0.05; done
        [[ "$(commands)" == *":w#:w#:S#" ]] || fail "$path: the far end got $(commands)"
        kill "$sim_pid" 2>/dev/null || true
        [ "$path" != tcp ] || kill "$ser2net_pid"
        if [ "$path" != disconnect ] && [ "$path" != tcp ]; then
            kill "$server_pid" 2>/dev/null || true
            wait "$server_pid" 2>/dev/null || true
            start_server
            server_pid="${pids[-1]}"
        fi
    done
    ;;
ser2net)
    # The standalone simulator behind ser2net, reached through INDI's network connection.
    start_sim --slew-rate 30
    bridge="$(free_port)"
    start_ser2net "$device" "$bridge"
    [ "$(get Selvane.POLLING_PERIOD.PERIOD_MS)" = 1000 ] || fail "the polling period is not 1000 ms by default"
    set_ "Selvane.CONNECTION_MODE.CONNECTION_TCP=On"
    for _ in $(seq 50); do get Selvane.DEVICE_ADDRESS.PORT >/dev/null 2>&1 && break; sleep 0.1; done
    set_ "Selvane.DEVICE_ADDRESS.ADDRESS;PORT=127.0.0.1;$bridge"
    set_ "Selvane.CONNECTION.CONNECT=On"
    wait_for '"Selvane.CONNECTION.CONNECT"==1 && "Selvane.CONNECTION._STATE"==1'
    set_ "Selvane.EQUATORIAL_EOD_COORD.RA;DEC=6;45"
    wait_received ":r+004,-06912#:d+002,-11072#:T#"
    wait_for 'abs("Selvane.EQUATORIAL_EOD_COORD.RA" - 6) < 0.01 && abs("Selvane.EQUATORIAL_EOD_COORD.DEC" - 45) < 0.01' 15
    # The address and the mode are kept for the next start.
    grep -q "$bridge" "$HOME/.indi/Selvane_config.xml" || fail "the address was not saved"
    # The bridge goes away: the link is said lost.
    kill "$ser2net_pid"
    wait_for '"Selvane.CONNECTION._STATE"==3 && "Selvane.EQUATORIAL_EOD_COORD._STATE"==3' 5
    set_ "Selvane.CONNECTION.DISCONNECT=On"
    wait_for '"Selvane.CONNECTION.DISCONNECT"==1'
    # Nothing listening there now: refused at once, the driver still answering.
    set_ "Selvane.CONNECTION.CONNECT=On"
    wait_for '"Selvane.CONNECTION.DISCONNECT"==1 && "Selvane.CONNECTION._STATE"==3' 3
    ;;
shared)
    # The window and a plain program on the shared port while an INDI client moves and slews.
    connect_simulated
    shared="$(free_port)"
    [ "$(get Selvane.SHARED_PORT_ADDRESS.ADDRESS)" = 127.0.0.1:7625 ] || fail "the shared port's default address"
    listen 3 "$work/messages"
    set_ "Selvane.SHARED_PORT_ADDRESS.ADDRESS=127.0.0.1:$port"
    set_ "Selvane.SHARED_PORT.SHARED_PORT_ON=On"
    wait_for '"Selvane.SHARED_PORT._STATE"==3 && "Selvane.SHARED_PORT.SHARED_PORT_OFF"==1' 3
    grep -q "Port partagé impossible sur 127.0.0.1:$port : Address already in use" "$work/messages" \
        || fail "a refused bind does not say why"
    set_ "Selvane.SHARED_PORT_ADDRESS.ADDRESS=127.0.0.1:$shared"
    set_ "Selvane.SHARED_PORT.SHARED_PORT_ON=On"
    wait_for '"Selvane.SHARED_PORT._STATE"==1'
    QT_QPA_PLATFORM=offscreen selvane --port "127.0.0.1:$shared" --trace 2>"$work/window.log" &
    pids+=($!)
    for _ in $(seq 100); do grep -q ' <- :' "$work/window.log" && break; sleep 0.1; done
    grep -q ' <- :' "$work/window.log" || fail "the window got no position: $(cat "$work/window.log")"
    # An INDI move: its bytes alone, whole, between the window's queries.
    : >"$SELVANE_SIM_TRACE"
    set_ "Selvane.TELESCOPE_MOTION_NS.MOTION_NORTH=On"; wait_received ":RS# :n#"
    set_ "Selvane.TELESCOPE_MOTION_NS.MOTION_NORTH=Off"; wait_received ":RS# :n#:0#:S#"
    # An INDI GOTO: a program's queries are answered from the last position, its GOTO refused.
    set_ "Selvane.EQUATORIAL_EOD_COORD.RA;DEC=6;45"
    wait_for '"Selvane.EQUATORIAL_EOD_COORD._STATE"==2' 2
    got="$(program ':R#:D#:r+000,+15232#:d+000,+26667#:T#' 1)"
    [[ "$got" =~ ^:[+-]?[0-9]+,[+-]?[0-9]+#:[+-]?[0-9]+,[+-]?[0-9]+#$ ]] || fail "queries during the slew: '$got'"
    wait_for '"Selvane.EQUATORIAL_EOD_COORD._STATE"==1' 30
    ! received | grep -qF ":r+000,+15232#" || fail "a program's GOTO went out during another slew"
    # A program's GOTO: Busy for INDI clients until its Ok, an INDI GOTO meanwhile refused.
    program ':r+000,+15232#:d+000,+26667#:T#' 30 >"$work/program" &
    pids+=($!)
    wait_for '"Selvane.EQUATORIAL_EOD_COORD._STATE"==2' 3
    set_ "Selvane.EQUATORIAL_EOD_COORD.RA;DEC=3;10"
    wait_for '"Selvane.EQUATORIAL_EOD_COORD._STATE"==3' 3
    for _ in $(seq 300); do [ -s "$work/program" ] && break; sleep 0.1; done
    [ "$(cat "$work/program")" = Ok ] || fail "the program's GOTO got '$(cat "$work/program")'"
    ! commands | grep -qF ":r+003," || fail "the INDI GOTO went out during a program's slew"
    wait_for 'abs("Selvane.EQUATORIAL_EOD_COORD.RA" - 1) < 0.01' 10
    # A program's move shows on the motion switches; one left open ends when the program goes.
    : >"$SELVANE_SIM_TRACE"
    program ':C#  :e#' 1.5 >/dev/null &
    pids+=($!)
    wait_for '"Selvane.TELESCOPE_MOTION_WE.MOTION_EAST"==1' 3
    wait_received ":C#  :e#:w#:S#"
    wait_for '"Selvane.TELESCOPE_MOTION_WE.MOTION_EAST"==0' 3
    [ "$(commands)" = ":C#  :e#:w#:S#" ] || fail "the program's move: $(commands)"
    # The window read only position replies, one for each query, whole.
    sleep 3.5
    asked=$(grep -cE ' -> :[RD]#$' "$work/window.log")
    answered=$(grep -cE ' <- :[+-]?[0-9]+,[+-]?[0-9]+#$' "$work/window.log")
    ! grep ' <- ' "$work/window.log" | grep -vqE ' <- :[+-]?[0-9]+,[+-]?[0-9]+#$' \
        || fail "the window read something else: $(grep ' <- ' "$work/window.log" | sort | uniq -c)"
    (( asked >= 6 && asked - answered <= 1 )) || fail "the window asked $asked and got $answered replies"
    ;;
skysafari)
    # indi_skysafari in front of the driver: a phone planetarium's LX200 commands over TCP.
    connect_simulated
    lx="$(free_port)"
    set_ "SkySafari.SKYSAFARI_SETTINGS.INDISERVER_HOST;INDISERVER_PORT;SKYSAFARI_PORT=127.0.0.1;$port;$lx"
    set_ "SkySafari.ACTIVE_DEVICES.ACTIVE_TELESCOPE=Selvane"
    set_ "SkySafari.CONNECTION.CONNECT=On"
    wait_for '"SkySafari.CONNECTION._STATE"==1'
    : >"$SELVANE_SIM_TRACE"
    lx200 "$lx" ":Sr01:00:00#" 1 ":Sd+10*00:00#" 1 ":MS#" 0
    wait_received ":r+000,+15232#:d+000,+26667#:T#"
    wait_for 'abs("Selvane.EQUATORIAL_EOD_COORD.RA" - 1) < 0.01 && "Selvane.EQUATORIAL_EOD_COORD._STATE"==1' 15
    : >"$SELVANE_SIM_TRACE"
    lx200 "$lx" ":Sr06:00:00#" 1 ":Sd+45*00:00#" 1 ":CM#" " M31 EX GAL MAG 3.5 SZ178.0'#"
    wait_received ":i#"
    [ "$(commands)" = ":r+004,-06912#:d+002,-11072#:i#" ] || fail "sync sent: $(commands)"
    : >"$SELVANE_SIM_TRACE"
    lx200 "$lx" ":RC#" "" ":Mn#" ""
    wait_received ":C#  :n#"
    lx200 "$lx" ":Qn#" ""
    wait_received ":C#  :n#:0#:S#"
    [ "$(commands)" = ":C#  :n#:0#:S#" ] || fail "north move sent: $(commands)"
    ;;
object)
    # A name chosen as in the window's "Objet :": its place of the date goes as a target (a sync
    # here); an unknown name is an Alert and sends nothing.
    connect_simulated
    wait_for '"Selvane.EQUATORIAL_EOD_COORD._STATE"==1'
    set_ "Selvane.ON_COORD_SET.SYNC=On"
    set_ "Selvane.OBJECT_NAME.NAME=c 14"
    wait_for '"Selvane.OBJECT_NAME._STATE"==1' 5
    [ "$(get Selvane.OBJECT_NAME.NAME)" = "NGC 869 (h Persei Cluster)" ] || fail "c 14 is $(get Selvane.OBJECT_NAME.NAME)"
    wait_for 'abs("Selvane.EQUATORIAL_EOD_COORD.RA" - 2.34) < 0.05 && abs("Selvane.EQUATORIAL_EOD_COORD.DEC" - 57.2) < 0.1'
    : >"$SELVANE_SIM_TRACE"
    set_ "Selvane.OBJECT_NAME.NAME=xyzzy"
    wait_for '"Selvane.OBJECT_NAME._STATE"==3' 5
    sleep 0.3
    [ -z "$(frames | grep -v -e '^:R#$' -e '^:D#$')" ] || fail "an unknown name sent $(frames | tr '\n' ' ')"
    ;;
sun)
    # The Sun's place of the date now, to within a few hundredths of a degree (the almanac's
    # low-precision formula), and a target 3° north of it.
    read -r sun_ra sun_dec <<<"$(python3 -c '
import math, time
n = time.time() / 86400 + 2440587.5 - 2451545.0
L = math.radians((280.460 + 0.9856474 * n) % 360); g = math.radians((357.528 + 0.9856003 * n) % 360)
lam = L + math.radians(1.915) * math.sin(g) + math.radians(0.020) * math.sin(2 * g)
eps = math.radians(23.439 - 0.0000004 * n)
print(math.degrees(math.atan2(math.cos(eps) * math.sin(lam), math.cos(lam))) % 360 / 15,
      math.degrees(math.asin(math.sin(eps) * math.sin(lam))))')"
    target="$sun_ra;$(python3 -c "print(min($sun_dec + 3, 89))")"
    connect_simulated
    wait_for '"Selvane.EQUATORIAL_EOD_COORD._STATE"==1'
    [ "$(get Selvane.SUN_SAFETY.SUN_SAFETY_ON)" = On ] || fail "the Sun interlock is not on at start"
    # A site: taken when in range.
    set_ "Selvane.GEOGRAPHIC_COORD.LAT;LONG;ELEV=45.76;4.84;200"
    wait_for '"Selvane.GEOGRAPHIC_COORD._STATE"==1' 5
    set_ "Selvane.GEOGRAPHIC_COORD.LAT;LONG;ELEV=95;4.84;200"
    wait_for '"Selvane.GEOGRAPHIC_COORD._STATE"==3' 5
    lat="$(get Selvane.GEOGRAPHIC_COORD.LAT)"
    near "$lat" 45.76 0.001 "latitude after a refused site"
    set_ "Selvane.POLLING_PERIOD.PERIOD_MS=60000" # so that no query puts the property back to Ok
    sleep 0.7
    : >"$SELVANE_SIM_TRACE"
    # On: refused, Alert, nothing sent.
    set_ "Selvane.EQUATORIAL_EOD_COORD.RA;DEC=$target"
    wait_for '"Selvane.EQUATORIAL_EOD_COORD._STATE"==3' 5
    sleep 0.3
    [ -z "$(frames | grep -v -e '^:R#$' -e '^:D#$')" ] || fail "a GOTO next to the Sun sent $(frames | tr '\n' ' ')"
    # Off: the GOTO goes, and nothing of either switch is saved.
    set_ "Selvane.SUN_SAFETY.SUN_SAFETY_OFF=On"
    wait_for '"Selvane.SUN_SAFETY.SUN_SAFETY_OFF"==1'
    set_ "Selvane.EQUATORIAL_EOD_COORD.RA;DEC=$target"
    wait_received ":T#"
    # A program on the shared port is held to the interlock too: the same target sends nothing.
    near_sun="$(frames | grep -e '^:r' -e '^:d' | head -2 | tr -d '\n')"
    wait_for '"Selvane.EQUATORIAL_EOD_COORD._STATE"==1' 30
    set_ "Selvane.SUN_SAFETY.SUN_SAFETY_ON=On"
    shared="$(free_port)"
    set_ "Selvane.SHARED_PORT_ADDRESS.ADDRESS=127.0.0.1:$shared"
    set_ "Selvane.SHARED_PORT.SHARED_PORT_ON=On"
    wait_for '"Selvane.SHARED_PORT._STATE"==1 && "Selvane.SUN_SAFETY.SUN_SAFETY_ON"==1' 5
    : >"$SELVANE_SIM_TRACE"
    program "$near_sun:T#" 1 >/dev/null
    [ -z "$(frames | grep -v -e '^:R#$' -e '^:D#$')" ] || fail "a program's GOTO next to the Sun sent $(frames | tr '\n' ' ')"
    # Nor can it get there by pieces: the controller's own target is what is checked.
    ra_sun="${near_sun%%#*}#"
    set_ "Selvane.EQUATORIAL_EOD_COORD.RA;DEC=$(python3 -c "print(($sun_ra + 12) % 24)");$sun_dec"
    wait_received ":T#"
    wait_for '"Selvane.EQUATORIAL_EOD_COORD._STATE"==1' 30
    : >"$SELVANE_SIM_TRACE"
    program "$ra_sun:T#" 0.5 >/dev/null                       # the right ascension half alone
    program ":x$ra_sun:x${near_sun#*#}:x:T#" 0.5 >/dev/null  # hidden behind stray colons
    program ":r+000,+2149268790#${near_sun#*#}:T#" 0.5 >/dev/null  # a field past 32 bits
    program "$ra_sun:d+000,+26667#:i#" 0.5 >/dev/null          # one program sets half the target,
    program "${near_sun#*#}:T#" 0.5 >/dev/null                 # another the other half and slews
    ! frames | grep -q '^:T#$' || fail "a program reached the Sun by pieces: $(frames | tr '\n' ' ')"
    # A program's move does not outlive the shared port switched off.
    : >"$SELVANE_SIM_TRACE"
    program ':R:C#  :R:n#' 0.5 >/dev/null
    wait_received ":C#  :n#:0#:S#"
    program ':C#  :s#' 3 >/dev/null &
    pids+=($!)
    wait_received ":C#  :s#"
    set_ "Selvane.SHARED_PORT.SHARED_PORT_OFF=On"
    wait_received ":C#  :s#:0#:S#"
    set_ "Selvane.SUN_SAFETY.SUN_SAFETY_OFF=On"
    set_ "Selvane.CONFIG_PROCESS.CONFIG_SAVE=On"
    sleep 0.5
    config="$(cat "$HOME"/.indi/Selvane_config.xml 2>/dev/null || true)"
    [ -n "$config" ] || fail "no configuration saved"
    ! grep -q SUN_SAFETY <<<"$config" || fail "the interlock was saved"
    # On again at the next connection.
    set_ "Selvane.CONNECTION.DISCONNECT=On"
    wait_for '"Selvane.CONNECTION.DISCONNECT"==1'
    set_ "Selvane.CONNECTION.CONNECT=On"
    wait_for '"Selvane.CONNECTION.CONNECT"==1 && "Selvane.CONNECTION._STATE"==1'
    [ "$(get Selvane.SUN_SAFETY.SUN_SAFETY_ON)" = On ] || fail "the Sun interlock stayed off"
    ;;
site)
    # A site saved with CONFIG_SAVE comes back at the next start's connection; a saved site out of
    # range is refused there, and the driver carries on without one.
    restart_server() {
        kill "${pids[0]}"; wait "${pids[0]}" 2>/dev/null || true
        pids=("${pids[@]:1}")
        port="$(free_port)"
        start_server
    }
    connect_simulated
    set_ "Selvane.GEOGRAPHIC_COORD.LAT;LONG;ELEV=45.76;4.84;200"
    wait_for '"Selvane.GEOGRAPHIC_COORD._STATE"==1' 5
    set_ "Selvane.CONFIG_PROCESS.CONFIG_SAVE=On"
    sleep 0.5
    grep -q GEOGRAPHIC_COORD "$HOME/.indi/Selvane_config.xml" || fail "the site was not saved"
    restart_server
    connect_simulated
    wait_for '"Selvane.GEOGRAPHIC_COORD._STATE"==1' 5
    near "$(get Selvane.GEOGRAPHIC_COORD.LAT)" 45.76 0.001 "saved latitude"
    near "$(get Selvane.GEOGRAPHIC_COORD.LONG)" 4.84 0.001 "saved longitude"
    near "$(get Selvane.GEOGRAPHIC_COORD.ELEV)" 200 0.5 "saved elevation"
    # A client's site of this run outlives a reconnection.
    set_ "Selvane.GEOGRAPHIC_COORD.LAT;LONG;ELEV=-33.9;18.4;10"
    wait_for '"Selvane.GEOGRAPHIC_COORD._STATE"==1' 5
    set_ "Selvane.CONNECTION.DISCONNECT=On"
    wait_for '"Selvane.CONNECTION.DISCONNECT"==1'
    set_ "Selvane.CONNECTION.CONNECT=On"
    wait_for '"Selvane.CONNECTION.CONNECT"==1 && "Selvane.CONNECTION._STATE"==1'
    near "$(get Selvane.GEOGRAPHIC_COORD.LAT)" -33.9 0.001 "latitude after a reconnection"
    # A saved latitude of 95°: refused, Alert, and the GOTO still goes.
    python3 - "$HOME/.indi/Selvane_config.xml" <<'PY' || fail "the saved site could not be changed"
import re, sys
path = sys.argv[1]
text = open(path).read()
text, count = re.subn(r'(<oneNumber name=.LAT.>)[^<]*', r'\g<1>95', text)
if count != 1:
    sys.exit("no saved latitude to change")
open(path, "w").write(text)
PY
    restart_server
    connect_simulated
    wait_for '"Selvane.GEOGRAPHIC_COORD._STATE"==3' 5
    set_ "Selvane.SUN_SAFETY.SUN_SAFETY_OFF=On"
    : >"$SELVANE_SIM_TRACE"
    set_ "Selvane.EQUATORIAL_EOD_COORD.RA;DEC=2;30"
    wait_received ":T#"
    ;;
pointing_model)
    # The in-process simulator, with the mount errors set above, prints where the telescope truly
    # points after each slew. A plate-solving client: GOTO a star, solve (the true place), Sync on
    # the solution.
    connect_simulated
    [ "$(get Selvane.POINTING_MODEL.POINTING_MODEL_OFF)" = On ] || fail "the pointing model is not off at start"
    set_ "Selvane.POINTING_MODEL.POINTING_MODEL_ON=On"
    # Without a site: said, and the controller's own sync.
    : >"$SELVANE_SIM_TRACE"
    set_ "Selvane.ON_COORD_SET.SYNC=On"
    set_ "Selvane.EQUATORIAL_EOD_COORD.RA;DEC=1;10"
    wait_for '"Selvane.POINTING_MODEL._STATE"==3' 5
    wait_received ":i#"
    set_ "Selvane.GEOGRAPHIC_COORD.LAT;LONG;ELEV=45;5;0"
    set_ "Selvane.SUN_SAFETY.SUN_SAFETY_OFF=On"
    wait_for '"Selvane.EQUATORIAL_EOD_COORD._STATE"==1'
    # The place at hour angle HA hours and declination DEC now, as "RA;DEC".
    place() { python3 -c "import time; d = time.time() / 86400 + 2440587.5 - 2451545.0
print(f'{(18.697374558 + 24.06570982441908 * d + 5 / 15 - $1) % 24:.6f};$2')"; }
    # GOTO RA;DEC; prints the true place where it ended, "RA;DEC".
    goto() {
        : >"$SELVANE_SIM_TRACE"
        set_ "Selvane.ON_COORD_SET.TRACK=On"
        set_ "Selvane.EQUATORIAL_EOD_COORD.RA;DEC=$1"
        wait_received ":i#"
        wait_for '"Selvane.EQUATORIAL_EOD_COORD._STATE"==1' 30
        sed -n 's/^== true place \([0-9.-]*\) h \([0-9.-]*\) deg$/\1;\2/p' "$SELVANE_SIM_TRACE" | tail -1
    }
    # Arc minutes between two places "RA;DEC".
    apart() { python3 -c "import math; a, b = '$1'.split(';'), '$2'.split(';')
r = [math.radians(float(a[0]) * 15), math.radians(float(a[1])), math.radians(float(b[0]) * 15), math.radians(float(b[1]))]
c = math.sin(r[1]) * math.sin(r[3]) + math.cos(r[1]) * math.cos(r[3]) * math.cos(r[0] - r[2])
print(math.degrees(math.acos(min(1, c))) * 60)"; }
    stars=0
    for star in "-3 20" "2.5 50" "0.3 -10"; do
        solved="$(goto "$(place $star)")"
        [ -n "$solved" ] || fail "no true place in the trace"
        : >"$SELVANE_SIM_TRACE"
        set_ "Selvane.ON_COORD_SET.SYNC=On"
        set_ "Selvane.EQUATORIAL_EOD_COORD.RA;DEC=$solved"
        stars=$((stars + 1))
        wait_for "\"Selvane.POINTING_MODEL_STARS.POINTING_MODEL_COUNT\"==$stars" 10
        # Only the first sync is the controller's; the others only read the position.
        if [ $stars -eq 1 ]; then wait_received ":i#"; else sleep 0.5; ! commands | grep -qF ":i#" || fail "sync $stars sent :i#"; fi
    done
    rms="$(get Selvane.POINTING_MODEL_STARS.POINTING_MODEL_RMS)"
    # A star synced 5° from where the telescope points: refused, said with its figure, not kept.
    far="$(python3 -c "a = '$solved'.split(';'); print(f'{a[0]};{float(a[1]) + 5:.6f}')")"
    listen 3 "$work/refusal"
    set_ "Selvane.ON_COORD_SET.SYNC=On"
    set_ "Selvane.EQUATORIAL_EOD_COORD.RA;DEC=$far"
    wait_for '"Selvane.EQUATORIAL_EOD_COORD._STATE"==3' 10
    [ "$(get Selvane.POINTING_MODEL_STARS.POINTING_MODEL_COUNT)" = 3 ] || fail "the wrong star was kept"
    grep -q "étoile est à [0-9.]*° .*(limite [0-9.]*°)" "$work/refusal" || fail "the refusal: $(cat "$work/refusal")"
    sum=0
    n=0
    worst=0
    # From 15° of height (HA -4 h, dec -5°) up to 85° of declination, each read where the target is seen.
    for target in "-2 30" "-1 70" "0 0" "1 40" "2 15" "3 60" "-4 -5" "1 85"; do
        wanted="$(place $target)"
        landed="$(goto "$wanted")"
        error="$(apart "$wanted" "$landed")"
        # The position shown is the model's place of the mount, read after the next query (the
        # driver polls every 300 ms): as far from the true place as the GOTO landed, no farther.
        sleep 1.5
        shown="$(get Selvane.EQUATORIAL_EOD_COORD.RA);$(get Selvane.EQUATORIAL_EOD_COORD.DEC)"
        near "$(apart "$shown" "$landed")" "$error" 0.25 "position shown against the true place (GOTO error $error')"
        sum="$(python3 -c "print($sum + $error ** 2)")"
        worst="$(python3 -c "print(max($worst, $error))")"
        n=$((n + 1))
    done
    result="$(python3 -c "import math; print(f'{math.sqrt($sum / $n):.2f}')")"
    echo "pointing model on a refracting sky: 3 stars, fit residual $(printf %.2f "$rms")', GOTO error $result' RMS, worst $(printf %.2f "$worst")' over $n targets"
    near "$result" 0 2 "GOTO error RMS (arc minutes)"
    near "$worst" 0 5 "worst GOTO error (arc minutes)"
    # A program's initialisation through the shared port: the stars of the old frame are forgotten.
    shared="$(free_port)"
    set_ "Selvane.SHARED_PORT_ADDRESS.ADDRESS=127.0.0.1:$shared"
    set_ "Selvane.SHARED_PORT.SHARED_PORT_ON=On"
    wait_for '"Selvane.SHARED_PORT._STATE"==1'
    program ':r+000,+15232#:d+000,+26667#:i#' 1 >/dev/null
    wait_for '"Selvane.POINTING_MODEL_STARS.POINTING_MODEL_COUNT"==0' 5
    # Forgetting the stars: the next sync is the controller's again.
    set_ "Selvane.POINTING_MODEL_CLEAR.POINTING_MODEL_CLEAR=On"
    wait_for '"Selvane.POINTING_MODEL_STARS.POINTING_MODEL_COUNT"==0' 5
    ;;
english)
    # Every label, group and message a client sees of a session (connection, a refused target, a
    # GOTO near the Sun, an unknown object, a site, a sync, the stars forgotten) is English: none is
    # a French source text of the catalogue. Names stay.
    listen 30 "$work/seen.xml"
    connect_simulated
    wait_for '"Selvane.EQUATORIAL_EOD_COORD._STATE"==1'
    set_ -n "Selvane.EQUATORIAL_EOD_COORD.RA;DEC=30;0"
    wait_for '"Selvane.EQUATORIAL_EOD_COORD._STATE"==3' 5
    set_ "Selvane.OBJECT_NAME.NAME=sun"
    wait_for '"Selvane.EQUATORIAL_EOD_COORD._STATE"==3' 5
    set_ "Selvane.OBJECT_NAME.NAME=xyzzy"
    wait_for '"Selvane.OBJECT_NAME._STATE"==3' 5
    set_ "Selvane.GEOGRAPHIC_COORD.LAT;LONG;ELEV=95;4.84;200"
    set_ "Selvane.GEOGRAPHIC_COORD.LAT;LONG;ELEV=45.76;4.84;200"
    wait_for '"Selvane.GEOGRAPHIC_COORD._STATE"==1' 5
    set_ "Selvane.ON_COORD_SET.SYNC=On"
    set_ "Selvane.EQUATORIAL_EOD_COORD.RA;DEC=5;20"
    set_ "Selvane.POINTING_MODEL_CLEAR.POINTING_MODEL_CLEAR=On"
    set_ "Selvane.SUN_SAFETY.SUN_SAFETY_OFF=On"
    sleep 1
    get Selvane.POINTING_MODEL.POINTING_MODEL_ON >/dev/null || fail "a property name changed"
    python3 - "$work/seen.xml" "$(dirname "$0")/../../src/langue/selvane_en.ts" <<'PY' || fail "French in English"
import html, re, sys, xml.etree.ElementTree as ET
seen = open(sys.argv[1], encoding="utf-8", errors="replace").read()
texts = [html.unescape(t) for t in re.findall(r'(?:label|group|message)="([^"]*)"', seen)]
french = []
for m in ET.parse(sys.argv[2]).getroot().iter("message"):
    source, english = (m.findtext("source") or "").strip(), (m.findtext("translation") or "").strip()
    if english != source and len(source) >= 4:
        french.append(source)
found = [(s, t) for t in texts for s in french if s in t]
for s, t in found:
    print(f"French {s!r} in {t!r}")
for wanted in ("Pointing model", "Sun safety", "Target refused", "Unknown object: xyzzy", "GOTO refused: the target is"):
    if not any(wanted in t for t in texts):
        print(f"never seen: {wanted!r}"); found.append(wanted)
print(f"{len(texts)} labels, groups and messages, all English")
sys.exit(1 if found else 0)
PY
    ;;
*)
    fail "unknown scenario $scenario"
    ;;
esac
echo "ok: $scenario"
