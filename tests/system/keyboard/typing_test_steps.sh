# tests/system/keyboard/typing_test_steps.sh - the steps the typing tests share;
# sourced by them. The caller sets status=0 and runs in its work folder.

fail() {
  echo "FAIL: $*"
  status=1
}

# Waits up to $1 tenths of a second for the command to succeed.
poll() {
  local tenths=$1
  shift
  for _ in $(seq 1 "$tenths"); do
    "$@" && return 0
    sleep 0.1
  done
  "$@"
}

end_process() {
  local pid=$1
  [ -n "$pid" ] || return 0
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    echo "process $pid did not end; killing it"
    kill "$pid" 2>/dev/null
  fi
  wait "$pid" 2>/dev/null
}

# The lines of the watch log after the mark $1.
after_mark() {
  awk -v m="$1" 'found { print } $2 == "mark" && $3 == m { found = 1; print }' watch.log
}

mark() {
  touch "mark-$1"
  # The watcher notes a mark within a few milliseconds.
  poll 30 grep -q " mark $1 " watch.log || fail "the watcher missed the mark $1"
}
