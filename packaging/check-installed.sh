#!/usr/bin/env bash
# Starts the installed Velnor once as an ordinary user (nobody, with a temporary home folder)
# under Xvfb, against the installed simulator with its demo store on 127.0.0.1, and checks that
# the main window came up and that the user's own program folder was made. Run as root after
# `apt-get install ./velnor_1.0.0_amd64.deb`; leaves nothing behind.
#
#   packaging/check-installed.sh [screenshot.png]
set -euo pipefail
[ -x /usr/bin/velnor ] || { echo "velnor is not installed"; exit 1; }
shot=${1:-}
home=$(mktemp -d /tmp/velnor-home.XXXXXX)
chown nobody: "$home"
as_user() { setpriv --reuid=nobody --regid=nogroup --clear-groups env -i HOME="$home" PATH=/usr/bin:/bin "$@"; }
sim=""
cleanup() {
  if [ -n "$sim" ]; then kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true; fi
  rm -rf "$home"
}
trap cleanup EXIT

# The installed simulator, loopback only, ephemeral port.
as_user mkdir -p "$home/store"
as_user /opt/velnor/mfpsim --store "$home/store" --seed-demo --port 0 >"$home/sim.out" 2>"$home/sim.err" &
sim=$!
for _ in $(seq 100); do grep -q '^ready' "$home/sim.out" && break; sleep 0.1; done
port=$(awk '$1 == "http-port" {print $2}' "$home/sim.out")
[ -n "$port" ] || { echo "the simulator did not start"; cat "$home/sim.err"; exit 1; }

# The user's profile, confirming the simulator at start without the selection dialog.
own=$home/.local/share/velnor
as_user mkdir -p "$own/setting" "$home/saved"
as_user sh -c "umask 077; cat >'$own/setting/Velnor.ini'" <<INI
[MFPInfo]
IPv4Address=127.0.0.1
isSpecifiedIPAddress=1
SpecifiedIPAddress=127.0.0.1
httpPortNumber=$port
isNotShowDlg=1
[SettingInfo]
machineName=127.0.0.1
boxIndex=1
folderPath=$home/saved
DeleteFile=0
INI

# Start it the way the desktop entry does and look at the windows after a few seconds.
cat >"$home/session.sh" <<SESSION
velnor >'$home/velnor.out' 2>&1 & app=\$!
sleep 6
xwininfo -root -tree >'$home/windows.txt' 2>&1 || true
${shot:+import -window root '$home/shot.png' || true}
kill \$app 2>/dev/null; wait \$app 2>/dev/null; true
SESSION
chmod 755 "$home/session.sh"
# The X server accepts any local client (-ac), so the user nobody needs no authority file.
xvfb-run -a -s "-screen 0 1024x768x24 -ac" sh -c "exec setpriv --reuid=nobody --regid=nogroup \
  --clear-groups env -i HOME='$home' PATH=/usr/bin:/bin XDG_RUNTIME_DIR='$home' DISPLAY=\"\$DISPLAY\" \
  sh '$home/session.sh'"
[ -n "$shot" ] && [ -f "$home/shot.png" ] && cp "$home/shot.png" "$shot"

status=0
check() { if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; status=1; fi; }
check "the program file was copied into the user's folder" "[ -x '$own/Velnor' ] && [ ! -L '$own/Velnor' ]"
check "the libraries are linked from /opt/velnor" "[ \"\$(readlink '$own/tarvin.so')\" = /opt/velnor/tarvin.so ]"
check "work/ was made in the user's folder" "[ -d '$own/work' ]"
check "nothing was written into /opt/velnor" "[ ! -e /opt/velnor/work ] && [ ! -e /opt/velnor/setting ]"
check "the main window came up (box listing reached the simulator)" "grep -q 'LIST' '$home/store/requests.log'"
check "a window titled Velnor was shown" "grep -qi 'velnor' '$home/windows.txt'"
[ $status -eq 0 ] || { echo "--- program output"; cat "$home/velnor.out"; echo "--- windows"; head -20 "$home/windows.txt"; }
exit $status
