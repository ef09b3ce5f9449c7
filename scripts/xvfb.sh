# Sourced by run.sh and test.sh: starts a private Xvfb when no display is set
# and stops it when the calling script exits.
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { KELVANE_XVFB_DISPLAY=":$n"; break; }
  done
  echo "No display set: starting Xvfb on ${KELVANE_XVFB_DISPLAY}" >&2
  # -noreset: Xvfb otherwise resets whenever its last client leaves, and a
  # test connecting during that reset is refused.
  Xvfb "${KELVANE_XVFB_DISPLAY}" -screen 0 1920x1080x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  KELVANE_XVFB_PID=$!
  trap 'kill ${KELVANE_XVFB_PID} 2>/dev/null || true' EXIT
  export DISPLAY=${KELVANE_XVFB_DISPLAY}
  for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X${KELVANE_XVFB_DISPLAY#:}" ] && break
    sleep 0.1
  done
fi
# Mesa's software renderer; the engine needs no GPU.
export LIBGL_ALWAYS_SOFTWARE=1
