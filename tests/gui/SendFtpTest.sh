#!/bin/bash
# File > Send > Ftp... in the running editor against a pyftpdlib server on loopback: the send sheet opens
# with the drawing's name and the stored server, OK writes the copy and the "FTP Uploading" dialog sends
# it; the bytes on the server are the copy's, and Close removes the copy. The sheet's two pages and the
# upload dialog are photographed. Usage: SendFtpTest.sh PQDRAW DRAWING.pdf
set -u
pqdraw=$1
drawing=$2
server_script="$(cd "$(dirname "$0")/.." && pwd)/send/ftp_test_server.py"

gui_tools="/usr/bin/import /usr/bin/convert /usr/bin/python3"
source "$(dirname "$0")/GuiTestCommon.sh"

start_ftp_server "$server_script"

# The FTP page's values as an earlier send left them.
mkdir -p "$XDG_CONFIG_HOME/pentaquill"
printf '[Draw]\nFtpServer=127.0.0.1\nFtpPort=%s\nFtpFolder=drawings\nFtpUsername=pq\nPwd=secret\n' "$port" \
    >"$XDG_CONFIG_HOME/pentaquill/draw.ini"
mkdir -p "$work/root/drawings"
cp "$drawing" "$work/plan.pdf"

"$pqdraw" "$work/plan.pdf" >"$work/stdout" 2>"$work/stderr" &
pid=$!
wid=$(wait_for_editor_window "$pid") || exit 1
sleep 2

# File > Send > Ftp...: Send is the seventh item of the File menu, Ftp... the second of its pop-up.
xdotool mousemove 15 12 click 1
sleep 0.7
xdotool key Down Down Down Down Down Down Down Right
sleep 0.5
/usr/bin/import -window root "$shots/send-menu.png"
xdotool key Down Return
sheet=$(wait_for_window Ftp)
if [ -z "$sheet" ]; then
    fail "File > Send > Ftp... opened no send sheet"
else
    eval "$(xdotool getwindowgeometry --shell "$sheet")"
    /usr/bin/import -window root "$shots/send-sheet.png"
    xdotool mousemove $((X + 80)) $((Y + 25)) click 1 # the "Ftp Server" tab
    sleep 0.7
    /usr/bin/import -window root "$shots/send-sheet-ftp.png"
    xdotool mousemove $((X + 25)) $((Y + 25)) click 1 # back to "Send"
    sleep 0.5
    xdotool key Return # OK
    upload=$(wait_for_window "FTP Uploading")
    if [ -z "$upload" ]; then
        /usr/bin/import -window root "$shots/no-upload.png"
        fail "OK on the send sheet opened no upload dialog"
    else
        for _ in $(seq 100); do
            [ -f "$work/root/drawings/plan.pdf" ] && [ -f "$PQDRAW_HOME/PQS.ftp" ] &&
                grep -q 'ftp=true' "$PQDRAW_HOME/PQS.ftp" && break
            sleep 0.1
        done
        sleep 0.5
        /usr/bin/import -window root "$shots/upload-dialog.png"
        copy="$PQDRAW_HOME/Temp/plan.pdf"
        [ -f "$copy" ] || fail "no copy was written to $copy"
        cmp -s "$copy" "$work/root/drawings/plan.pdf" || fail "the bytes on the server are not the copy's"
        [ "$(head -c 5 "$work/root/drawings/plan.pdf")" = "%PDF-" ] || fail "the uploaded file is no PDF"
        echo "flag file: $(cat "$PQDRAW_HOME/PQS.ftp" 2>/dev/null)"
        xdotool key Return # Close, the default button once the upload has ended
        sleep 1
        window_shown "FTP Uploading" && fail "Close did not close the upload dialog"
        [ -f "$copy" ] && fail "the copy was not removed after the upload"
    fi
fi

xdotool windowfocus --sync "$wid"
quit_editor "$pid"
[ $status -eq 0 ] && echo "screenshots in $shots"
exit $status
