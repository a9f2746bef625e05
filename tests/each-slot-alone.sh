#!/usr/bin/env bash
# Runs every test slot of one test program by itself, each with a
# configuration folder of its own, then the whole program with its slots in
# reverse order and in a shuffled order. A slot that passes only after
# another one fails here.
#   each-slot-alone.sh qtest|gtest PROGRAM
# KW_SLOT_ORDER_SEED repeats a shuffled order that failed.
set -u

kind=$1
program=$2
case $kind in
  qtest | gtest) ;;
  *) echo "usage: $0 qtest|gtest PROGRAM" >&2; exit 2 ;;
esac
seed=${KW_SLOT_ORDER_SEED:-$((RANDOM * 32768 + RANDOM))}

list_slots() {
  case $kind in
    # Qt Test lists "name()"; data rows run with their slot.
    qtest) "$program" -functions | sed -n 's/()$//p' ;;
    # GoogleTest lists "Suite." and indented "Name  # parameter".
    gtest) "$program" --gtest_list_tests | awk '
             /^[^ ]/ { suite = $1; next }
             /^  /   { print suite $1 }' ;;
  esac
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One run of the program, with a fresh configuration folder and its output
# kept for the report.
run() { # label, arguments...
  local label=$1; shift
  local config
  config=$(mktemp -d "$work/config.XXXXXX")
  if ! XDG_CONFIG_HOME=$config "$program" "$@" >"$work/output" 2>&1; then
    echo "FAILED: $label"
    tail -n 60 "$work/output"
    failed=$((failed + 1))
  fi
}

mapfile -t slots < <(list_slots)
if [ ${#slots[@]} -eq 0 ]; then
  echo "no test slots listed by $program" >&2
  exit 1
fi

failed=0
for slot in "${slots[@]}"; do
  case $kind in
    qtest) run "$slot alone" "$slot" ;;
    gtest) run "$slot alone" "--gtest_filter=$slot" ;;
  esac
done

case $kind in
  qtest)
    mapfile -t reversed < <(printf '%s\n' "${slots[@]}" | tac)
    mapfile -t shuffled < <(printf '%s\n' "${slots[@]}" |
      awk -v seed="$seed" 'BEGIN { srand(seed) } { print rand() "\t" $0 }' | sort -n | cut -f2-)
    run "reverse order" "${reversed[@]}"
    run "shuffled order (KW_SLOT_ORDER_SEED=$seed): ${shuffled[*]}" "${shuffled[@]}"
    ;;
  gtest)
    run "shuffled order (KW_SLOT_ORDER_SEED=$seed)" \
      --gtest_shuffle "--gtest_random_seed=$((seed % 99999 + 1))"
    ;;
esac

echo "$(basename "$program"): every slot alone, then in other orders: $failed runs failed"
[ "$failed" -eq 0 ]
