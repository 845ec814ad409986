#!/bin/bash
# A user draws in the running editor with real (synthetic) mouse and key input under a virtual X server:
# a rectangle (R) and a freehand stroke (P), then selects the rectangle (S), drags it, saves with Ctrl+S,
# undoes the move with Ctrl+Z, saves again and quits. Each saved file is checked with the headless tool.
# Usage: EditorDrawTest.sh PQDRAW PQDRAW-CLI DRAWING
set -u
pqdraw=$1
cli=$2
source_drawing=$3

gui_tools="/usr/bin/import"
source "$(dirname "$0")/GuiTestCommon.sh"
start_editor_on_copy "$pqdraw" "$source_drawing"

objects() { "$cli" info --objects "$drawing"; }

# Keys go to the window wherever the focus is.
xdotool windowfocus --sync "$wid"
xdotool key r
drag 420 300 570 420
/usr/bin/import -window root "$shots/1-rectangle.png"
xdotool key p
xdotool mousemove 300 480 mousedown 1
for i in $(seq 0 40); do
    xdotool mousemove $((300 + i * 6)) $((480 + (i % 10) * 4 - (i % 20 >= 10 ? 40 : 0)))
    sleep 0.02
done
xdotool mouseup 1
sleep 0.5
/usr/bin/import -window root "$shots/2-freehand.png"
xdotool key s
drag 495 360 555 360
/usr/bin/import -window root "$shots/3-moved.png"
xdotool key ctrl+s
sleep 1

after=$(objects)
count=$(echo "$after" | awk '/^objects:/ { print $2 }')
echo "objects before: $before, after saving: $count"
[ "$count" = $((before + 2)) ] || fail "expected $((before + 2)) objects after drawing two"
rect=$(echo "$after" | awk -v i="$before" '$1 == "object" && $2 == i":" { print }')
stroke=$(echo "$after" | awk -v i="$((before + 1))" '$1 == "object" && $2 == i":" { print }')
echo "rectangle: $rect"
echo "stroke: $stroke"
echo "$rect" | grep -q 'kind=path' || fail "the rectangle is not a path"
echo "$stroke" | grep -q 'kind=path' || fail "the stroke is not a path"
# The rectangle was drawn 150 pixels wide and moved 60 pixels right: its left edge moved by 0.4 of its width.
read -r left right <<<"$(echo "$rect" | sed 's/.*bounds=\([^,]*\),[^,]*,\([^,]*\),.*/\1 \2/')"
echo "rectangle spans $left .. $right"

# Ctrl+Z undoes the move, Ctrl+Y redoes it; saving after the undo stores the rectangle where it was drawn.
xdotool key ctrl+z
sleep 0.5
/usr/bin/import -window root "$shots/4-undone.png"
xdotool key ctrl+s
sleep 1
undone=$(objects | awk -v i="$before" '$1 == "object" && $2 == i":" { print }')
read -r uleft uright <<<"$(echo "$undone" | sed 's/.*bounds=\([^,]*\),[^,]*,\([^,]*\),.*/\1 \2/')"
echo "after undo the rectangle spans $uleft .. $uright"
awk -v l="$left" -v r="$right" -v ul="$uleft" -v ur="$uright" 'BEGIN {
    w = r - l; shift = l - ul
    if (w <= 0 || (ur - ul) - w > 0.01 * w || (ur - ul) - w < -0.01 * w) exit 1
    if (shift < 0.35 * w || shift > 0.45 * w) exit 1 }' || fail "the move was not 60 of 150 pixels, or undo did not put it back"

quit_editor "$pid"
exit $status
