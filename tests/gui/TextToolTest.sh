#!/bin/bash
# A user writes a text in the running editor under a virtual X server: T chooses the text tool, a click
# on the page opens the property sheet with its text field focused and its text selected, typing
# "Café" replaces it, Ctrl+Enter confirms as OK, Ctrl+S saves; the headless tool finds the text with its
# accent. Ctrl+Z and another save take it away again. Screenshots of each step are kept for a look.
# Usage: TextToolTest.sh PQDRAW PQDRAW-CLI DRAWING
set -u
pqdraw=$1
cli=$2
source_drawing=$3

gui_tools="/usr/bin/import"
source "$(dirname "$0")/GuiTestCommon.sh"
shots=${PQ_GUI_SCREENSHOTS:-$work}
drawing=$work/drawing.pdf
cp "$source_drawing" "$drawing"
before=$("$cli" info --objects "$drawing" | awk '/^objects:/ { print $2 }')

"$pqdraw" "$drawing" >"$work/stdout" 2>"$work/stderr" &
pid=$!
wid=$(wait_for_editor_window "$pid") || exit 1
sleep 2
status=0
fail() { echo "FAIL: $*"; status=1; }
objects() { "$cli" info --objects "$drawing"; }
count() { objects | awk '/^objects:/ { print $2 }'; }
sheet_id() { xdotool search --name "^Properties$" 2>/dev/null | head -1; }

xdotool windowfocus --sync "$wid"
xdotool key t
sleep 0.3
xdotool mousemove 450 330 click 1
sheet=$(timeout 10 xdotool search --sync --name "^Properties$" | head -1)
if [ -z "$sheet" ]; then
    fail "a click with the text tool opened no property sheet"
else
    sleep 1
    /usr/bin/import -window root "$shots/text-1-sheet.png"
    # Without a window manager nobody gives the new window the keyboard; a desktop does that.
    xdotool windowfocus --sync "$sheet"
    xdotool type --delay 80 'Café'
    sleep 0.5
    /usr/bin/import -window root "$shots/text-2-typed.png"
    xdotool key ctrl+Return
    sleep 0.7
    [ -z "$(sheet_id)" ] || fail "Ctrl+Enter did not close the sheet"
fi
/usr/bin/import -window root "$shots/text-3-placed.png"
xdotool windowfocus --sync "$wid"
xdotool key ctrl+s
sleep 1

after=$(objects)
echo "$after" | tail -3
[ "$(count)" = $((before + 1)) ] || fail "expected $((before + 1)) objects after placing a text"
last=$(echo "$after" | awk -v i="$before" '$1 == "object" && $2 == i":" { print }')
echo "new object: $last"
echo "$last" | grep -q 'kind=text' || fail "the new object is not a text"
# The whole field was replaced: the text is exactly what was typed, accent included.
echo "$last" | grep -qF 'text="Caf\u00E9"' || fail "the saved text is not Café"

xdotool key ctrl+z
sleep 0.5
/usr/bin/import -window root "$shots/text-4-undone.png"
xdotool key ctrl+s
sleep 1
[ "$(count)" = "$before" ] || fail "Ctrl+Z and Ctrl+S did not take the text away"
objects | grep -qF 'Caf\u00E9' && fail "the undone text is still in the saved file"

xdotool key ctrl+q
for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    fail "the editor did not quit within 5 seconds of Ctrl+Q"
    kill "$pid"
fi
wait "$pid" || fail "the editor exited with an error"
exit $status
