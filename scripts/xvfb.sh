# Sourced: makes sure a display exists. Without DISPLAY, starts Xvfb on a free
# display number and exports DISPLAY (and LV_XVFB_PID, so the caller can stop it).
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 120); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break
  done
  Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  LV_XVFB_PID=$!
  export DISPLAY=:$n
  for _ in $(seq 1 50); do
    [ -e /tmp/.X11-unix/X$n ] && break
    sleep 0.1
  done
fi
