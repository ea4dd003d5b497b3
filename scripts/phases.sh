# shellcheck shell=bash
# Sourced by scripts/test: runs its steps as timed phases and prints how long each took at the end (from
# an EXIT trap, so that a failed run shows what it had done up to the failure).
#
#   rf_phase NAME COMMAND...          runs COMMAND as one phase
#   rf_phase_beside NAME COMMAND...   starts COMMAND as a phase in the background, its output held back
#   rf_phase_join                     waits for the phases started beside, prints their output, and fails
#                                     if one of them failed
#   trap rf_phase_report EXIT

rf_phase_log=$(mktemp)
rf_phase_started=$SECONDS
rf_phase_current=""
rf_phase_current_start=0

rf_phase_record() { # seconds status name
  printf '%s\t%s\t%s\n' "$1" "$2" "$3" >>"$rf_phase_log"
}

rf_phase() { # name command...
  local name=$1 start=$SECONDS rc=0
  shift
  echo "== $name"
  rf_phase_current=$name rf_phase_current_start=$start
  "$@" || rc=$?
  rf_phase_current=""
  if [ "$rc" -eq 0 ]; then
    rf_phase_record $((SECONDS - start)) ok "$name"
  else
    rf_phase_record $((SECONDS - start)) FAILED "$name"
  fi
  return "$rc"
}

rf_phase_beside_pids=()
rf_phase_beside_outputs=()

rf_phase_beside() { # name command...
  local name=$1 output
  shift
  echo "== $name (in the background)"
  output=$(mktemp)
  rf_phase "$name (beside)" "$@" >"$output" 2>&1 &
  rf_phase_beside_pids+=($!)
  rf_phase_beside_outputs+=("$output")
}

rf_phase_join() {
  local rc=0 i
  for i in "${!rf_phase_beside_pids[@]}"; do
    wait "${rf_phase_beside_pids[$i]}" || rc=1
    cat "${rf_phase_beside_outputs[$i]}"
    rm -f "${rf_phase_beside_outputs[$i]}"
  done
  rf_phase_beside_pids=()
  rf_phase_beside_outputs=()
  return "$rc"
}

rf_phase_report() {
  local rc=$?
  # A phase started beside one that failed still ends, and shows what it did, before the report.
  rf_phase_join || true
  if [ -n "$rf_phase_current" ]; then
    rf_phase_record $((SECONDS - rf_phase_current_start)) FAILED "$rf_phase_current"
  fi
  echo "== phase times"
  local seconds status name
  while IFS=$'\t' read -r seconds status name; do
    printf '%4d:%02d  %-6s  %s\n' $((seconds / 60)) $((seconds % 60)) "$status" "$name"
  done <"$rf_phase_log"
  seconds=$((SECONDS - rf_phase_started))
  printf '%4d:%02d  %-6s  %s\n' $((seconds / 60)) $((seconds % 60)) "" "the whole run"
  rm -f "$rf_phase_log"
  return "$rc"
}
