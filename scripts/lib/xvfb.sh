# Sourced by the test scripts: one X server for the whole run; each end-to-end test starts
# its own browser, and the real-input tests start X servers of their own. Xvfb picks a display nobody uses and
# names it once it serves (-displayfd), so the tests never land on someone else's. It
# resets when its last client leaves: with -noreset, what many tests' clients leave behind
# stalled later tests' pages on this shared server.
named=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$named" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -f "$named"' EXIT
for _ in $(seq 300); do
  [[ $(cat "$named") == *[0-9]* ]] && break
  kill -0 $xvfb 2>/dev/null || break
  sleep 0.1
done
number=$(tr -dc 0-9 <"$named")
if [[ -z "$number" ]]; then
  echo "test: Xvfb did not start" >&2
  exit 1
fi
export DISPLAY=:$number
for _ in $(seq 200); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null || { echo "test: no X server answers on $DISPLAY" >&2; exit 1; }
