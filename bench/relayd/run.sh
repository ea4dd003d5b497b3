#!/bin/bash
# Firmware server benchmark: Relayd against Debian's tftpd-hpa in the same run, each case fetched by the
# same client from both servers. Everything runs in network namespaces this script creates and removes:
#
#   srv ──veth── cli        the plain path (round trip ~0.05 ms)
#   srv ──veth── mid ──veth── far    a path through a user-space delay line (round trip 2 × DELAY_US),
#                                    as a radio link has; the kernel here has no netem
#
#   bench/relayd/run.sh [path/to/Relayd]        (needs root, atftp, in.tftpd, nft, bc, and the build's
#                                                bench/relayd_bench_client and bench/relayd_delay_line)
#
# Clients: Debian's atftp, and "ours" (bench/relayd_bench_client, the lab tests' client: patient, it resends
# its last acknowledgement every RETRANSMIT_MS and gives up after 5 minutes); the loss cases use ours for
# both servers, and atftp once more for comparison. tftpd-hpa does not support the windowsize option: it
# leaves it out of its option acknowledgement and the transfer runs lock-step.
#
# Both servers run at once (tftpd-hpa on port 69, Relayd on RELAYD_PORT) and every repetition of a case
# fetches from one, then from the other, so that a busy moment of the machine weighs on both alike.
#
# A window pays off by not waiting a round trip per block, so the window case is measured on the delayed path
# too. On the plain path a lock-step round trip is tens of microseconds, most of it the two processes
# waking each other.
#
# tftpd-hpa recovers a lost block with its own one-second timer (a repeated acknowledgement does not make it
# resend), so with loss it takes about a second per lost block: the loss cases use a smaller file.
#
# Environment: SIZE_MIB (16), LOSS_SIZE_MIB (4), REPEAT (5; every figure is the median of that many runs),
# LOSS_REPEAT (3), RELAYD_PORT (6969), LOSS_PERCENT (5; dropped on the data path, server to client),
# DELAY_US (1000, each way), RETRANSMIT_MS (300), CASE_TIMEOUT (900 s, the longest one run may take).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
RELAYD=${1:-$here/../../build/bundle/service/Relayd}
CLIENT=${CLIENT:-$here/../../build/bench/relayd_bench_client}
DELAY_LINE=${DELAY_LINE:-$here/../../build/bench/relayd_delay_line}
SIZE_MIB=${SIZE_MIB:-16}
LOSS_SIZE_MIB=${LOSS_SIZE_MIB:-4}
REPEAT=${REPEAT:-5}
LOSS_REPEAT=${LOSS_REPEAT:-3}
LOSS_PERCENT=${LOSS_PERCENT:-5}
DELAY_US=${DELAY_US:-1000}
RETRANSMIT_MS=${RETRANSMIT_MS:-300}
CASE_TIMEOUT=${CASE_TIMEOUT:-900}
RELAYD_PORT=${RELAYD_PORT:-6969}
SRV=rfbench-srv-$$
CLI=rfbench-cli-$$
MID=rfbench-mid-$$
FAR=rfbench-far-$$

for tool in atftp in.tftpd nft ip bc; do
    command -v $tool >/dev/null || { echo "missing: $tool (apt-get install atftp tftpd-hpa nftables bc)" >&2; exit 2; }
done
for program in "$RELAYD" "$CLIENT" "$DELAY_LINE"; do
    [ -x "$program" ] || { echo "missing $program (build the Relayd, relayd_bench_client and relayd_delay_line targets)" >&2; exit 2; }
done
[ "$(id -u)" = 0 ] || { echo "needs root (network namespaces)" >&2; exit 2; }

# Files in memory, so that the clients' writes do not wait on a disk.
WORK=$(mktemp -d /dev/shm/rfbench-XXXXXX 2>/dev/null || mktemp -d /tmp/rfbench-XXXXXX)
SERVER_PID=
TFTPD_PID=
DELAY_PID=
cleanup() {
    [ -n "$SERVER_PID" ] && kill "$SERVER_PID" 2>/dev/null && wait "$SERVER_PID" 2>/dev/null
    [ -n "$TFTPD_PID" ] && kill "$TFTPD_PID" 2>/dev/null && wait "$TFTPD_PID" 2>/dev/null
    [ -n "$DELAY_PID" ] && kill "$DELAY_PID" 2>/dev/null && wait "$DELAY_PID" 2>/dev/null
    for ns in "$SRV" "$CLI" "$MID" "$FAR"; do ip netns del "$ns" 2>/dev/null || true; done
    rm -rf "$WORK"
}
trap cleanup EXIT

for ns in "$SRV" "$CLI" "$MID" "$FAR"; do
    ip netns add "$ns"
    ip -n "$ns" link set lo up
done
ip link add rfb-s$$ netns "$SRV" type veth peer name rfb-c$$ netns "$CLI"
ip link add rfb-d$$ netns "$SRV" type veth peer name rfb-m$$ netns "$MID"
ip link add rfb-f$$ netns "$FAR" type veth peer name rfb-n$$ netns "$MID"
ip -n "$SRV" addr add 10.231.0.1/24 dev rfb-s$$
ip -n "$CLI" addr add 10.231.0.2/24 dev rfb-c$$
ip -n "$SRV" addr add 10.231.1.1/24 dev rfb-d$$
ip -n "$FAR" addr add 10.231.1.2/24 dev rfb-f$$
ip -n "$SRV" link set rfb-s$$ up
ip -n "$SRV" link set rfb-d$$ up
ip -n "$CLI" link set rfb-c$$ up
ip -n "$FAR" link set rfb-f$$ up
ip -n "$MID" link set rfb-m$$ up
ip -n "$MID" link set rfb-n$$ up
ip netns exec "$MID" "$DELAY_LINE" rfb-m$$ rfb-n$$ "$DELAY_US" 7200 &
DELAY_PID=$!

mkdir -p "$WORK/served" "$WORK/relayd" "$WORK/out"
chmod 755 "$WORK" "$WORK/served"
head -c $((SIZE_MIB << 20)) /dev/urandom >"$WORK/served/image.bin"
head -c $((LOSS_SIZE_MIB << 20)) /dev/urandom >"$WORK/served/loss.bin"
chmod 644 "$WORK/served/"*.bin
cp "$RELAYD" "$WORK/relayd/Relayd"
printf '[SERVER]\nDirectory=%s\nPort=%s\n' "$WORK/served" "$RELAYD_PORT" >"$WORK/relayd/Relayd.ini"

declare -A PORT=([tftpd]=69 [relayd]=$RELAYD_PORT)
start_servers() {
    ip netns exec "$SRV" in.tftpd --foreground --address 0.0.0.0:69 --user tftp --secure "$WORK/served" &
    TFTPD_PID=$!
    ip netns exec "$SRV" "$WORK/relayd/Relayd" 2>/dev/null &
    SERVER_PID=$!
    sleep 0.5
    kill -0 "$TFTPD_PID" 2>/dev/null || { echo "tftpd-hpa did not start (is port 69 free?)" >&2; exit 1; }
    kill -0 "$SERVER_PID" 2>/dev/null || { echo "Relayd did not start (is port $RELAYD_PORT free?)" >&2; exit 1; }
}
# Loss on the data path: the client's side drops datagrams from the server as they arrive. (Dropping them
# on the server's output would make its send fail with EPERM, which no real network does: tftpd-hpa ends
# the transfer on that error.)
set_loss() {
    ip netns exec "$CLI" nft delete table inet rfbench 2>/dev/null || true
    if [ "$1" -gt 0 ]; then
        ip netns exec "$CLI" nft add table inet rfbench
        ip netns exec "$CLI" nft add chain inet rfbench in '{ type filter hook input priority 0; }'
        ip netns exec "$CLI" nft add rule inet rfbench in ip saddr 10.231.0.1 meta l4proto udp numgen random mod 100 '<' "$1" drop
    fi
}

# One download by one client kind: fetch CLIENT_KIND NS SERVER_IP PORT OUT WINDOW; fails unless byte-equal.
fetch() {
    local kind=$1 ns=$2 server=$3 port=$4 out=$5 window=$6 file=${FILE:-image.bin}
    if [ "$kind" = atftp ]; then
        local options=(--option "blksize 1468")
        [ "$window" -gt 0 ] && options+=(--option "windowsize $window")
        ip netns exec "$ns" timeout "$CASE_TIMEOUT" atftp "${options[@]}" -g -r "$file" -l "$out" "$server" "$port" >/dev/null 2>&1 &&
            cmp -s "$out" "$WORK/served/$file"
    else
        local options=(--blksize 1468 --retransmit-ms "$RETRANSMIT_MS" --compare "$WORK/served/$file")
        [ "$window" -gt 0 ] && options+=(--windowsize "$window")
        ip netns exec "$ns" timeout "$CASE_TIMEOUT" "$CLIENT" "$server" "$port" "$file" "${options[@]}" >/dev/null 2>&1
    fi
}

# run_case KIND NS SERVER_IP PORT CLIENTS WINDOW -> seconds for all clients to finish, or FAIL
run_case() {
    local kind=$1 ns=$2 server=$3 port=$4 clients=$5 window=$6 pids=() ok=1 t0 t1
    t0=$(date +%s.%N)
    for i in $(seq 1 "$clients"); do
        fetch "$kind" "$ns" "$server" "$port" "$WORK/out/$i" "$window" &
        pids+=($!)
    done
    for p in "${pids[@]}"; do wait "$p" || ok=0; done
    t1=$(date +%s.%N)
    rm -f "$WORK/out/"*
    if [ $ok = 1 ]; then echo "$t1 - $t0" | bc; else echo FAIL; fi
}

# measure N KEY KIND NS SERVER_IP CLIENTS WINDOW: N runs against each server in turn (those in SERVERS,
# both by default); R[server,KEY] becomes the median of its runs, FAIL if any failed.
declare -A R
measure() {
    local n=$1 key=$2 kind=$3 ns=$4 ip=$5 clients=$6 window=$7 server servers=${SERVERS:-tftpd relayd}
    declare -A times=()
    for _ in $(seq 1 "$n"); do
        for server in $servers; do
            times[$server]+="$(run_case "$kind" "$ns" "$ip" "${PORT[$server]}" "$clients" "$window") "
        done
    done
    for server in $servers; do
        if [[ ${times[$server]} == *FAIL* ]]; then
            R[$server,$key]=FAIL
        else
            R[$server,$key]=$(printf '%s\n' ${times[$server]} | sort -g |
                awk '{ a[NR] = $1 } END { printf "%.3f", NR % 2 ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }')
        fi
    done
}

PLAIN=10.231.0.1
FAR_IP=10.231.1.1
start_servers
for server in tftpd relayd; do run_case atftp "$CLI" $PLAIN "${PORT[$server]}" 1 0 >/dev/null; done # warm up
for kind in atftp ours; do
    measure "$REPEAT" $kind,one $kind "$CLI" $PLAIN 1 0
    measure "$REPEAT" $kind,ten $kind "$CLI" $PLAIN 10 0
    measure "$REPEAT" $kind,window $kind "$CLI" $PLAIN 1 16
    measure "$REPEAT" $kind,delay $kind "$FAR" $FAR_IP 1 16
done
set_loss "$LOSS_PERCENT"
export FILE=loss.bin
measure "$LOSS_REPEAT" ours,loss ours "$CLI" $PLAIN 1 16
SERVERS=relayd measure "$LOSS_REPEAT" ours,losslock ours "$CLI" $PLAIN 1 0
R[tftpd,ours,losslock]=${R[tftpd,ours,loss]} # tftpd-hpa declines windowsize: that was a lock-step run already
measure 1 atftp,loss atftp "$CLI" $PLAIN 1 16
unset FILE
set_loss 0

ratio() {
    if [[ $1 =~ ^[0-9.]+$ && $2 =~ ^[0-9.]+$ ]]; then echo "scale=2; $1 / $2" | bc; else echo "-"; fi
}
row() { # label kind key
    printf '%-58s %-6s %11s %11s %8s\n' "$1" "$2" "${R[tftpd,$2,$3]}" "${R[relayd,$2,$3]}" "$(ratio "${R[tftpd,$2,$3]}" "${R[relayd,$2,$3]}")"
}
rtt_ms=$(echo "scale=1; 2 * $DELAY_US / 1000" | bc)
echo
echo "${SIZE_MIB} MiB (${LOSS_SIZE_MIB} MiB with loss), blksize 1468; median of $REPEAT runs ($LOSS_REPEAT with loss); seconds; ratio = tftpd-hpa / Relayd"
printf '%-58s %-6s %11s %11s %8s\n' "case" "client" "tftpd-hpa" "Relayd" "ratio"
for kind in atftp ours; do row "1 client, plain veth" $kind one; done
for kind in atftp ours; do row "10 concurrent clients, plain veth" $kind ten; done
for kind in atftp ours; do row "1 client, windowsize 16, plain veth" $kind window; done
for kind in atftp ours; do row "1 client, windowsize 16, ${rtt_ms} ms round trip" $kind delay; done
row "1 client, windowsize 16, ${LOSS_PERCENT}% loss server->client" ours loss
row "1 client, lock-step, ${LOSS_PERCENT}% loss server->client" ours losslock
row "1 client, windowsize 16, ${LOSS_PERCENT}% loss (atftp, one run)" atftp loss
echo "(tftpd-hpa declines windowsize, so its windowsize rows are lock-step transfers)"
