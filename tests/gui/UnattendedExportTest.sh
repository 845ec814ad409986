#!/bin/bash
# The editor in settings-file mode: PQS.ini in the data folder opens a drawing, and File > Export
# Bitmap... then writes the EMF and JPEG copies without a dialog, uploads both to a pyftpdlib server on
# loopback through the upload dialog, and closes the editor. When the copies cannot be written, the editor
# says so, closes once the message is read, and ends with a failure status. Usage: UnattendedExportTest.sh PQDRAW DRAWING.pdf
set -u
pqdraw=$1
drawing=$2
server_script="$(cd "$(dirname "$0")/.." && pwd)/send/ftp_test_server.py"

gui_tools="/usr/bin/import /usr/bin/python3"
source "$(dirname "$0")/GuiTestCommon.sh"

start_ftp_server "$server_script"
mkdir -p "$work/root/in" "$work/out" "$PQDRAW_HOME"
cp "$drawing" "$work/plan.pdf"
printf 'openfile=%s\nfilename=plan\nsize=320\nsavelocation=%s\nprintlocation=%s\nftpserver=127.0.0.1\nftpport=%s\nusername=pq\npassword=secret\nftplocation=in\n' \
    "$work/plan.pdf" "$work/out" "$work/out" "$port" >"$PQDRAW_HOME/PQS.ini"

"$pqdraw" >"$work/stdout" 2>"$work/stderr" &
pid=$!
wid=$(wait_for_editor_window "$pid") || exit 1
sleep 2
xdotool search --name "^plan.pdf - Pentaquill Draw\$" >/dev/null || fail "the settings file's openfile was not opened"
# File > Export Bitmap... is the File menu's eighth item.
export_bitmap() {
    xdotool mousemove 15 12 click 1
    sleep 0.7
    xdotool key Down Down Down Down Down Down Down Down Return
}
# Waits up to 15 seconds for the editor to end; sets ended to its exit status.
wait_for_end() { # screenshot-name
    for _ in $(seq 150); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        /usr/bin/import -window root "$shots/$1.png"
        fail "the editor did not close after the unattended export"
        kill "$pid"
    fi
    wait "$pid"
    ended=$?
}
export_bitmap
wait_for_end unattended-not-closing
[ "$ended" -eq 0 ] || fail "the editor ended with a failure"
for name in plan.emf plan.jpg; do
    [ -s "$work/out/$name" ] || fail "$name was not written"
    cmp -s "$work/out/$name" "$work/root/in/$name" || fail "the uploaded $name is not the one written"
done
grep -q '&ftp=true' "$PQDRAW_HOME/PQS.ftp" || fail "the flag file does not say the upload succeeded"
[ -s "$work/stderr" ] && cat "$work/stderr"

# The copies' folder lies under a file: nothing can be written there.
touch "$work/blocked"
printf 'openfile=%s\nfilename=plan\nsize=320\nsavelocation=%s\nprintlocation=%s\n' \
    "$work/plan.pdf" "$work/blocked/out" "$work/blocked/out" >"$PQDRAW_HOME/PQS.ini"
"$pqdraw" >"$work/stdout" 2>"$work/stderr" &
pid=$!
wid=$(wait_for_editor_window "$pid") || exit 1
sleep 2
export_bitmap
sleep 2
/usr/bin/import -window root "$shots/unattended-failure.png"
xdotool key Return
wait_for_end unattended-failure-not-closing
[ "$ended" -ne 0 ] || fail "the editor ended with success although the copies were not written"
grep -q "^pqdraw: " "$work/stderr" || fail "the failure was not reported on standard error"
exit $status
