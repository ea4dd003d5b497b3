#!/bin/bash
# Firmware server benchmark: Relayd against Debian's tftpd-hpa, both fetched from by atftp, over a veth pair
# between two network namespaces that this script creates (and removes). Needs root, atftp, in.tftpd, nft.
#
#   bench/relayd/run.sh [path/to/Relayd]
#
# Environment: SIZE_MIB (16), LOSS_SIZE_MIB (16; the file for the loss case), LOSS_PERCENT (5),
# LOSS_TIMEOUT (900 s, the longest one loss run may take), SKIP_TFTPD_LOSS=1 to skip tftpd-hpa's loss run,
# REPEAT (3: cases without loss report the best of that many runs).
set -euo pipefail

RELAYD=${1:-$(dirname "$0")/../../build/bundle/service/Relayd}
SIZE_MIB=${SIZE_MIB:-16}
LOSS_SIZE_MIB=${LOSS_SIZE_MIB:-16}
LOSS_PERCENT=${LOSS_PERCENT:-5}
LOSS_TIMEOUT=${LOSS_TIMEOUT:-900}
REPEAT=${REPEAT:-3}
SRV=rfbench-srv-$$
CLI=rfbench-cli-$$
SRV_IP=10.231.0.1
CLI_IP=10.231.0.2

for tool in atftp in.tftpd nft ip; do
    command -v $tool >/dev/null || { echo "missing: $tool" >&2; exit 2; }
done
[ -x "$RELAYD" ] || { echo "no Relayd at $RELAYD (build it first)" >&2; exit 2; }
[ "$(id -u)" = 0 ] || { echo "needs root (network namespaces)" >&2; exit 2; }

WORK=$(mktemp -d /tmp/rfbench-XXXXXX)
SERVER_PID=
cleanup() {
    [ -n "$SERVER_PID" ] && kill "$SERVER_PID" 2>/dev/null && wait "$SERVER_PID" 2>/dev/null
    ip netns del "$SRV" 2>/dev/null || true
    ip netns del "$CLI" 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

ip netns add "$SRV"
ip netns add "$CLI"
ip link add rfb-s$$ netns "$SRV" type veth peer name rfb-c$$ netns "$CLI"
ip -n "$SRV" addr add $SRV_IP/24 dev rfb-s$$
ip -n "$CLI" addr add $CLI_IP/24 dev rfb-c$$
for ns in "$SRV" "$CLI"; do
    ip -n "$ns" link set lo up
done
ip -n "$SRV" link set rfb-s$$ up
ip -n "$CLI" link set rfb-c$$ up

mkdir -p "$WORK/served" "$WORK/relayd" "$WORK/out"
chmod 755 "$WORK" "$WORK/served"
head -c $((SIZE_MIB << 20)) /dev/urandom > "$WORK/served/image.bin"
head -c $((LOSS_SIZE_MIB << 20)) /dev/urandom > "$WORK/served/loss.bin"
chmod 644 "$WORK/served/"*.bin
cp "$RELAYD" "$WORK/relayd/Relayd"
printf '[SERVER]\nDirectory=%s\n' "$WORK/served" > "$WORK/relayd/Relayd.ini"

start_server() {
    case $1 in
    relayd) ip netns exec "$SRV" "$WORK/relayd/Relayd" 2>/dev/null & ;;
    tftpd) ip netns exec "$SRV" in.tftpd --foreground --address $SRV_IP:69 --user tftp --secure "$WORK/served" & ;;
    esac
    SERVER_PID=$!
    sleep 0.5
}
stop_server() {
    kill "$SERVER_PID" 2>/dev/null || true
    wait "$SERVER_PID" 2>/dev/null || true
    SERVER_PID=
}
set_loss() {
    ip netns exec "$SRV" nft delete table inet rfbench 2>/dev/null || true
    if [ "$1" -gt 0 ]; then
        ip netns exec "$SRV" nft add table inet rfbench
        ip netns exec "$SRV" nft add chain inet rfbench out '{ type filter hook output priority 0; }'
        ip netns exec "$SRV" nft add rule inet rfbench out meta l4proto udp numgen random mod 100 '<' "$1" drop
    fi
}

# fetch FILE OUT [atftp options...]: one download; fails unless the copy is byte-equal.
fetch() {
    local file=$1 out=$2
    shift 2
    ip netns exec "$CLI" timeout "$LOSS_TIMEOUT" atftp "$@" -g -r "$file" -l "$out" $SRV_IP 69 >/dev/null 2>&1
    cmp -s "$out" "$WORK/served/$file"
}
now() { date +%s.%N; }
elapsed() { echo "$2 - $1" | bc; }

# best_of N NAME CLIENTS FILE [options...]: the shortest of N runs (the machine may be busy), or FAIL
best_of() {
    local n=$1 best=
    shift
    for _ in $(seq 1 "$n"); do
        local t
        t=$(run_case "$@")
        [ "$t" = FAIL ] && { echo FAIL; return; }
        if [ -z "$best" ] || [ "$(echo "$t < $best" | bc)" = 1 ]; then best=$t; fi
    done
    echo "$best"
}

# run_case NAME CLIENTS FILE [atftp options...] -> prints seconds, or FAIL
run_case() {
    local clients=$2 file=$3
    shift 3
    local t0 pids=() ok=1
    t0=$(now)
    for i in $(seq 1 "$clients"); do
        fetch "$file" "$WORK/out/$i" "$@" &
        pids+=($!)
    done
    for p in "${pids[@]}"; do
        wait "$p" || ok=0
    done
    local t1
    t1=$(now)
    rm -f "$WORK/out/"*
    if [ $ok = 1 ]; then elapsed "$t0" "$t1"; else echo FAIL; fi
}

declare -A RESULT
BLK=(--option "blksize 1468")
for server in tftpd relayd; do
    start_server $server
    run_case warmup 1 image.bin "${BLK[@]}" >/dev/null
    RESULT[$server,one]=$(best_of "$REPEAT" one 1 image.bin "${BLK[@]}")
    RESULT[$server,ten]=$(best_of "$REPEAT" ten 10 image.bin "${BLK[@]}")
    RESULT[$server,window]=$(best_of "$REPEAT" window 1 image.bin "${BLK[@]}" --option "windowsize 16")
    set_loss "$LOSS_PERCENT"
    if [ $server = tftpd ]; then
        # tftpd-hpa declines windowsize, so both loss cases are the same lock-step run: run it once.
        if [ "${SKIP_TFTPD_LOSS:-0}" = 1 ]; then
            RESULT[$server,losslock]=skipped
        else
            RESULT[$server,losslock]=$(run_case losslock 1 loss.bin "${BLK[@]}")
        fi
        RESULT[$server,loss]=${RESULT[$server,losslock]}
    else
        RESULT[$server,loss]=$(run_case loss 1 loss.bin "${BLK[@]}" --option "windowsize 16")
        RESULT[$server,losslock]=$(run_case losslock 1 loss.bin "${BLK[@]}")
    fi
    set_loss 0
    stop_server
done

# FAIL in a loss case: the client (atftp) gave up on the transfer.
ratio() {
    if [[ $1 =~ ^[0-9.]+$ && $2 =~ ^[0-9.]+$ ]]; then echo "scale=1; $1 / $2" | bc; else echo "-"; fi
}
printf '\n%-48s %12s %12s %10s\n' "case (atftp client, blksize 1468)" "tftpd-hpa s" "Relayd s" "ratio"
printf '%-48s %12s %12s %10s\n' "1 client, ${SIZE_MIB} MiB" "${RESULT[tftpd,one]}" "${RESULT[relayd,one]}" "$(ratio "${RESULT[tftpd,one]}" "${RESULT[relayd,one]}")"
printf '%-48s %12s %12s %10s\n' "10 concurrent clients, ${SIZE_MIB} MiB each" "${RESULT[tftpd,ten]}" "${RESULT[relayd,ten]}" "$(ratio "${RESULT[tftpd,ten]}" "${RESULT[relayd,ten]}")"
printf '%-48s %12s %12s %10s\n' "1 client, windowsize 16" "${RESULT[tftpd,window]}" "${RESULT[relayd,window]}" "$(ratio "${RESULT[tftpd,window]}" "${RESULT[relayd,window]}")"
printf '%-48s %12s %12s %10s\n' "${LOSS_PERCENT}% loss server->client, windowsize 16, ${LOSS_SIZE_MIB} MiB" "${RESULT[tftpd,loss]}" "${RESULT[relayd,loss]}" "$(ratio "${RESULT[tftpd,loss]}" "${RESULT[relayd,loss]}")"
printf '%-48s %12s %12s %10s\n' "${LOSS_PERCENT}% loss server->client, lock-step, ${LOSS_SIZE_MIB} MiB" "${RESULT[tftpd,losslock]}" "${RESULT[relayd,losslock]}" "$(ratio "${RESULT[tftpd,losslock]}" "${RESULT[relayd,losslock]}")"
