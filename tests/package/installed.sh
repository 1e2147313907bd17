#!/usr/bin/env bash
# The package as a user gets it: installed with apt-get, started from a fresh home (its
# program folder is made in ~/.local/share/olumetta/), browsing a page of a loopback
# server, becoming the default browser when asked and taking the desktop's addresses,
# then removed with nothing of it left behind. Needs root; exits non-zero on a fault.
set -euo pipefail
deb=$1
work=$(mktemp -d)
browser=
fail() { echo "installed: FAIL: $*" >&2; exit 1; }
cleanup() {
  [[ -n "$browser" ]] && kill "$browser" 2>/dev/null || true
  [[ -n "${xvfb:-}" ]] && kill "$xvfb" 2>/dev/null || true
  [[ -n "${server:-}" ]] && kill "$server" 2>/dev/null || true
  dpkg -s olumetta >/dev/null 2>&1 && dpkg -r olumetta >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
wait_for() {  # seconds, then a command to retry
  local limit=$1; shift
  for ((i = 0; i < limit * 4; i++)); do "$@" && return 0; sleep 0.25; done
  return 1
}
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }

dpkg -s olumetta >/dev/null 2>&1 && fail "olumetta is installed already"
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$deb" >/dev/null
[[ -x /usr/bin/olumetta && -f /usr/share/olumetta/config.ini ]] || fail "not installed"
files=$(dpkg -L olumetta)

mkdir -p "$work/site" "$work/home" "$work/run"
chmod 700 "$work/run"
printf '<title>Installed page</title><p>installed</p>' > "$work/site/index.html"
printf '<title>Handed page</title><p>handed</p>' > "$work/site/handed.html"
port=$(free_port)
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$work/site" >/dev/null 2>&1 &
server=$!
Xvfb :77 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=:77 HOME="$work/home" XDG_RUNTIME_DIR="$work/run"
unset XDG_DATA_HOME XDG_CONFIG_HOME
export QTWEBENGINE_DISABLE_SANDBOX=1 QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
debug=$(free_port)
export QTWEBENGINE_REMOTE_DEBUGGING=127.0.0.1:$debug
page_open() { curl -s "http://127.0.0.1:$debug/json" | grep -q "$1"; }
start() { (cd / && exec /usr/bin/olumetta "$@" >>"$work/browser.log" 2>&1) & browser=$!; }

start "http://127.0.0.1:$port/"
wait_for 60 page_open "Installed page" || fail "the first page did not open"
folder="$HOME/.local/share/olumetta"
[[ -f "$folder/config.ini" && -f "$folder/皮肤/默认.ini" ]] || fail "no program folder in $folder"
[[ -w "$folder/config.ini" ]] || fail "the user's config.ini is not writable"
[[ $(stat -c %a "$folder") == 700 && $(stat -c %a "$folder/config.ini") == 600 ]] ||
  fail "the program folder or its config.ini can be read by others"
echo "installed: browses, its folder is $folder"

kill "$browser"; wait "$browser" 2>/dev/null || true
# Another browser is the default, as on most desktops (installed alone, the package's own
# entry would already be the desktop's only choice).
mkdir -p "$HOME/.local/share/applications"
printf '[Desktop Entry]\nType=Application\nName=Other\nExec=true %%u\nMimeType=x-scheme-handler/http;\n' \
  > "$HOME/.local/share/applications/other.desktop"
xdg-mime default other.desktop x-scheme-handler/http x-scheme-handler/https text/html
olumetta-ini set "$folder/config.ini" Setting AutoSet 1
start "http://127.0.0.1:$port/"
wait_for 60 xdotool search --name '^提示$' >/dev/null || fail "no default-browser question"
sleep 0.5
xdotool key Return
default_is_ours() { [[ $(xdg-mime query default x-scheme-handler/http) == olumetta.desktop ]]; }
wait_for 20 default_is_ours || fail "not the default browser after Yes"
grep -q '^Exec=/usr/bin/olumetta %u$' "$HOME/.local/share/applications/olumetta.desktop" ||
  fail "the user's entry does not start /usr/bin/olumetta"
wait_for 60 page_open "Installed page" || fail "the page did not open after the question"
xdg-open "http://127.0.0.1:$port/handed.html"
wait_for 30 page_open "Handed page" || fail "xdg-open did not reach the running browser"
echo "installed: registers as the default browser and takes xdg-open's addresses"

kill "$browser"; wait "$browser" 2>/dev/null || true
browser=
dpkg -r olumetta >/dev/null
while IFS= read -r f; do
  [[ -z "$f" || -d "$f" ]] && continue
  [[ -e "$f" ]] && fail "$f is left after removal"
done <<<"$files"
[[ -e /usr/share/olumetta ]] && fail "/usr/share/olumetta is left after removal"
echo "installed: removed cleanly"
