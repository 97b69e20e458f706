# Sourced by the CI and test scripts: `step NAME COMMAND...` runs one step whatever the earlier ones did,
# and prints as it ends its result, the tests it ran (from CTest's and the fuzzers' own counts) and its
# time, and returns the step's status; `skipped NAME WHY` lists a step that could not run (which fails the
# run too); `steps_summary` prints every step's line again and returns non-zero if any failed.
# `beside COMMAND...` runs a command that runs steps in the background, one such command at a time, for work
# that needs only processor time and checks nothing against a clock (its steps should run their commands
# under `nice -n 19`): each of its steps prints its line as it ends; `steps_join` waits for it, then prints
# its output and counts its steps.
steps_lines=()
steps_failed=0
steps_beside=""
beside_pid=""

step() {
  local name=$1 started=$SECONDS log status tests minutes seconds line
  shift
  log=$(mktemp "${TMPDIR:-/tmp}/step.XXXXXX")
  echo "::: $name"
  "$@" 2>&1 | tee "$log"
  status=${PIPESTATUS[0]}
  # "100% tests passed, 0 tests failed out of 447" per CTest run; "Done 81234 runs" per fuzzer run.
  tests=$(awk '/tests passed, [0-9]+ tests? failed out of/ { total += $NF; failed += $4; ctest = 1 }
               /^Done [0-9]+ runs/ { runs += $2 }
               /^lint: [0-9]+ files/ { files = $2 }
               END {
                 if (ctest) printf "%d tests, %d failed", total, failed
                 if (runs) printf "%d inputs", runs
                 if (files) printf "%d files", files
               }' "$log")
  rm -f "$log"
  minutes=$(((SECONDS - started) / 60))
  seconds=$(((SECONDS - started) % 60))
  if [ "$status" -eq 0 ]; then line="passed"; else line="FAILED (exit $status)"; steps_failed=1; fi
  line=$(printf '%-28s %-22s %-28s %2dm%02ds' "$name" "$line" "${tests:--}" "$minutes" "$seconds")
  # A step beside prints its line as it ends, not again with its output at the join.
  if [ -n "$steps_beside" ]; then
    echo "::: $line" >&3
    echo "$line" >>"$steps_beside"
  else
    echo "::: $line"
  fi
  steps_lines+=("$line")
  return "$status"
}

skipped() {
  steps_lines+=("$(printf '%-28s SKIPPED: %s' "$1" "$2")")
  steps_failed=1
  echo "::: ${steps_lines[-1]}"
}

beside() {
  beside_log=$(mktemp "${TMPDIR:-/tmp}/beside.XXXXXX")
  beside_lines=$(mktemp "${TMPDIR:-/tmp}/beside.XXXXXX")
  (
    exec 3>&1 >"$beside_log" 2>&1
    steps_beside=$beside_lines
    steps_failed=0  # its own steps' result, whatever came before
    "$@"
    exit "$steps_failed"
  ) &
  beside_pid=$!
}

steps_join() {
  [ -n "$beside_pid" ] || return 0
  wait "$beside_pid" || steps_failed=1
  cat "$beside_log"
  mapfile -t -O "${#steps_lines[@]}" steps_lines <"$beside_lines"
  rm -f "$beside_log" "$beside_lines"
  beside_pid=""
}

steps_summary() {
  echo "::: summary"
  printf '    %s\n' "${steps_lines[@]}"
  return "$steps_failed"
}
