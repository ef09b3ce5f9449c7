#!/usr/bin/env bash
# A private desktop for walking the editor by hand, as the acceptance roads
# do: an X server (1920x1200) with a window manager (openbox), its own session
# and accessibility buses, private HOME and XDG folders, and the editor in it.
#
#   scripts/desktop-session.sh start [PROGRAM [ARGS...]]   start it (default: build/bin/kelvane)
#   scripts/desktop-session.sh shot FILE.png                a screenshot of the whole screen
#   scripts/desktop-session.sh stop                         end everything it started
#
# KELVANE_SESSION_DIR (default /tmp/kelvane-session-$USER) holds the session:
# its env file, logs and the private home. After `start`,
#   source "$KELVANE_SESSION_DIR/env"
# points DISPLAY and the buses at it, so xdotool (`xdotool search --name
# Zantrel`, `xdotool mousemove 960 600 click 1`, `xdotool key ctrl+s`,
# `xdotool type 0.7`) and the program's own tools reach it. Needs Debian's
# xvfb, openbox, dbus, at-spi2-core, xdotool and imagemagick (scripts/setup.sh
# installs them).
set -euo pipefail
cd "$(dirname "$0")/.."
S=${KELVANE_SESSION_DIR:-/tmp/kelvane-session-${USER:-$(id -un)}}
cmd=${1:-}
shift || true

start_session() {
  [[ -f "$S/env" ]] && { echo "a session runs already: $S/env (stop it first)" >&2; exit 1; }
  mkdir -p "$S/home" "$S/common" "$S/runtime"
  chmod 700 "$S/runtime"
  # Xvfb picks a free display and writes its number into the file.
  : >"$S/display"
  Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp -noreset 3>"$S/display" >"$S/xvfb.log" 2>&1 &
  echo $! >"$S/xvfb.pid"
  local n=""
  for _ in $(seq 200); do n=$(tr -dc '0-9' <"$S/display"); [[ -n "$n" ]] && break; sleep 0.1; done
  [[ -n "$n" ]] || { echo "Xvfb did not start (see $S/xvfb.log)" >&2; exit 1; }
  local bus
  # The desktop's own programs find their themes and settings schemas in
  # the system's folders; only the editor gets the private ones.
  local system_dirs=/usr/local/share:/usr/share
  bus=$(XDG_DATA_DIRS=$system_dirs dbus-daemon --session --fork --print-address=1 --print-pid=3 3>"$S/dbus.pid")
  cat >"$S/env" <<ENV
export DISPLAY=:$n HOME=$S/home XDG_DATA_DIRS=$S/common XDG_RUNTIME_DIR=$S/runtime
export DBUS_SESSION_BUS_ADDRESS='$bus' LANG=C.UTF-8 LIBGL_ALWAYS_SOFTWARE=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
unset XDG_DATA_HOME XDG_CONFIG_HOME XDG_CACHE_HOME LC_ALL LANGUAGE
ENV
  # shellcheck disable=SC1091
  source "$S/env"
  XDG_DATA_DIRS=$system_dirs /usr/libexec/at-spi-bus-launcher --launch-immediately >"$S/a11y.log" 2>&1 &
  echo $! >"$S/a11y.pid"
  XDG_DATA_DIRS=$system_dirs openbox --sm-disable >"$S/openbox.log" 2>&1 &
  echo $! >"$S/openbox.pid"
  for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done
  echo "session on :$n; source $S/env"
  local program=("$@")
  [[ ${#program[@]} -gt 0 ]] || program=(build/bin/kelvane)
  "${program[@]}" >"$S/program.log" 2>&1 &
  echo $! >"$S/program.pid"
  echo "started ${program[0]} (pid $(cat "$S/program.pid")), log $S/program.log"
}

case "$cmd" in
start) start_session "$@" ;;
shot)
  # shellcheck disable=SC1091
  source "$S/env"
  import -window root "${1:?FILE.png}"
  echo "$1"
  ;;
stop)
  for p in program openbox a11y dbus xvfb; do
    if [[ -f "$S/$p.pid" ]]; then
      kill "$(cat "$S/$p.pid")" 2>/dev/null || true
      rm -f "$S/$p.pid"
    fi
  done
  rm -f "$S/env"
  echo stopped
  ;;
*) sed -n '2,17p' "$0"; exit 2 ;;
esac
