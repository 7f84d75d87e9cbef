# Sourced by the scripts that run the program on an X display of their own (smoke.sh,
# screenshot.sh). They set `limit` (seconds) and keep the ids of the processes they start in the
# array `pids`, which they end on exit.

# Retries a command every tenth of a second until it succeeds; fails after `limit` seconds.
await() {
  local deadline=$((SECONDS + limit))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# Starts Xvfb on a free display and openbox on it, and exports DISPLAY; logs go into FOLDER.
# Usage: start_display FOLDER WIDTHxHEIGHT
start_display() {
  local folder=$1 size=$2
  # Xvfb picks a free display itself and writes its number once it accepts connections.
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$folder/display" \
    2>"$folder/xvfb.log" &
  pids+=($!)
  await test -s "$folder/display" || return 1
  export DISPLAY=":$(head -n 1 "$folder/display")"
  openbox --sm-disable >"$folder/openbox.log" 2>&1 &
  pids+=($!)
  # wmctrl answers once the window manager has announced itself.
  await wmctrl -m >/dev/null 2>&1
}

# Starts the program at PATH with ARGUMENTS under the display, writing its output to
# FOLDER/quillet.log, its process id to FOLDER/pid and, once it has ended, its exit status to
# FOLDER/status, so whether it has ended can be read at any moment.
# Usage: start_program FOLDER PATH [ARGUMENTS...]
start_program() {
  local folder=$1
  shift
  (
    env QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$folder/config" "$@" >"$folder/quillet.log" 2>&1 &
    echo $! >"$folder/pid"
    status=0
    wait $! || status=$?
    echo "$status" >"$folder/status"
  ) &
  await test -s "$folder/pid" || return 1
  pids+=("$(cat "$folder/pid")")
}

program_ended() { test -s "$1/status"; }

# The first line of `wmctrl -l` (window id, desktop, host, title) whose title holds TEXT.
window_titled() { wmctrl -l | grep -F -m 1 -- "$1"; }
