#!/bin/bash
# A user reshapes a curve and writes a text in the running editor under a virtual X server, then undoes
# each step: draws a Bezier curve (B), takes the Shape tool (N), picks the curve and drags one of its
# nodes; takes the text tool (T), clicks on the page, types "Café" into the property sheet's focused field
# and confirms with Ctrl+Enter. After every step Ctrl+S saves and the headless tool checks the file: the
# curve's bounds follow the node, the text keeps its accent, and each Ctrl+Z gives back the file of the
# step before. Screenshots of each step are kept for a look.
# Usage: EditorNodeAndTextTest.sh PQDRAW PQDRAW-CLI DRAWING
set -u
pqdraw=$1
cli=$2
source_drawing=$3

gui_tools="/usr/bin/import"
source "$(dirname "$0")/GuiTestCommon.sh"
start_editor_on_copy "$pqdraw" "$source_drawing"
objects() { "$cli" info --objects "$drawing"; }
count() { objects | awk '/^objects:/ { print $2 }'; }
sheet_id() { xdotool search --name "^Properties$" 2>/dev/null | head -1; }
save() {
    xdotool windowfocus --sync "$wid"
    xdotool key ctrl+s
    sleep 1
}

click() { # x y
    xdotool mousemove "$1" "$2" click 1
    sleep 0.5
}
# The bounds of the object drawn by this test, as "left top right bottom".
curve_bounds() {
    "$cli" info --objects "$drawing" | awk -v i="$before" '$1 == "object" && $2 == i":" { print }' |
        sed -n 's/.*kind=path.*bounds=\([^,]*\),\([^,]*\),\([^,]*\),\([^ ]*\).*/\1 \2 \3 \4/p'
}

xdotool windowfocus --sync "$wid"
# A curve of three nodes, each placed by a press and a short drag that pulls its handle.
xdotool key b
drag 300 560 330 540
drag 450 600 490 600
drag 600 560 630 580
# Taking the Shape tool finishes the curve.
xdotool key n
sleep 0.5
/usr/bin/import -window root "$shots/node-1-curve.png"
xdotool key ctrl+s
sleep 1
drawn=$(curve_bounds)
echo "curve drawn: $drawn"
[ -n "$drawn" ] || fail "no curve was drawn"

# A tap on the curve picks it (its nodes show), a tap on the middle node selects it, a drag moves it.
click 450 600
/usr/bin/import -window root "$shots/node-2-picked.png"
click 450 600
/usr/bin/import -window root "$shots/node-3-selected.png"
# Halfway through the drag the reshaped segments show as feedback over the drawing.
xdotool mousemove 450 600 mousedown 1
for y in 590 570 550 530; do
    xdotool mousemove 450 $y
    sleep 0.05
done
sleep 0.3
/usr/bin/import -window root "$shots/node-4-dragging.png"
for y in 510 490 480; do
    xdotool mousemove 450 $y
    sleep 0.05
done
xdotool mouseup 1
sleep 0.5
/usr/bin/import -window root "$shots/node-5-dragged.png"
xdotool key ctrl+s
sleep 1
moved=$(curve_bounds)
echo "after the drag: $moved"
read -r l0 t0 r0 b0 <<<"$drawn"
read -r l1 t1 r1 b1 <<<"$moved"
# The node went up 120 pixels: the curve's top rose, its left and right ends stayed.
awk -v l0="$l0" -v t0="$t0" -v r0="$r0" -v l1="$l1" -v t1="$t1" -v r1="$r1" 'BEGIN {
    w = r0 - l0; if (w <= 0) exit 1
    if (l1 - l0 > 0.01 * w || l0 - l1 > 0.01 * w || r1 - r0 > 0.01 * w || r0 - r1 > 0.01 * w) exit 1
    if (t0 - t1 < 0.1 * w) exit 1 }' || fail "the node drag did not raise the curve's top with its ends in place"

# The right button on a node opens the node menu; Escape closes it.
xdotool mousemove 450 480 click 3
sleep 1
/usr/bin/import -window root "$shots/node-6-menu.png"
xdotool key Escape
sleep 0.5

# The text tool (T): a click on the page opens the sheet; typing replaces its selected text.
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
save

after=$(objects)
echo "$after" | tail -3
[ "$(count)" = $((before + 2)) ] || fail "expected $((before + 2)) objects after placing a text"
last=$(echo "$after" | awk -v i="$((before + 1))" '$1 == "object" && $2 == i":" { print }')
echo "new object: $last"
echo "$last" | grep -q 'kind=text' || fail "the new object is not a text"
# The whole field was replaced: the text is exactly what was typed, accent included.
echo "$last" | grep -qF 'text="Caf\u00E9"' || fail "the saved text is not Café"

# Undo, step by step: the text goes, the node comes back, the curve goes.
xdotool key ctrl+z
sleep 0.5
/usr/bin/import -window root "$shots/undo-1-text.png"
save
[ "$(count)" = $((before + 1)) ] || fail "Ctrl+Z did not take the text away"
objects | grep -qF 'Caf\u00E9' && fail "the undone text is still in the saved file"
[ "$(curve_bounds)" = "$moved" ] || fail "undoing the text changed the curve"

xdotool key ctrl+z
sleep 0.5
/usr/bin/import -window root "$shots/undo-2-node.png"
save
undone=$(curve_bounds)
echo "after undoing the drag: $undone"
[ "$undone" = "$drawn" ] || fail "undo did not put the curve back as it was drawn"

xdotool key ctrl+z
sleep 0.5
/usr/bin/import -window root "$shots/undo-3-curve.png"
save
[ "$(count)" = "$before" ] || fail "the last Ctrl+Z did not take the curve away"

quit_editor "$pid"
exit $status
