#!/bin/bash
# The object property sheet in the running editor under a virtual X server: a double-click on a drawn
# rectangle opens it on the Color and Size pages; a palette cell colours the rectangle on OK and Ctrl+Z
# takes it back; the Size page doubles it; the Color button with nothing selected opens the colour page
# alone and Escape cancels it. Screenshots of each showing are kept for a look.
# Usage: PropertySheetTest.sh PQDRAW PQDRAW-CLI DRAWING
set -u
pqdraw=$1
cli=$2
source_drawing=$3

gui_tools="/usr/bin/import /usr/bin/convert"
source "$(dirname "$0")/GuiTestCommon.sh"
start_editor_on_copy "$pqdraw" "$source_drawing"

# Waits for the sheet; prints its window id and sets sheet_x, sheet_y to its top-left corner.
open_sheet() {
    local id
    id=$(timeout 10 xdotool search --sync --name "^Properties$" | head -1)
    [ -n "$id" ] || return 1
    sleep 1
    eval "$(xdotool getwindowgeometry --shell "$id")"
    sheet_x=$X
    sheet_y=$Y
    echo "$id"
}
sheet_closed() {
    sleep 0.7
    [ -z "$(xdotool search --name "^Properties$" 2>/dev/null)" ]
}
# Pixels of one colour in a rectangle of the screen.
pixels() { # colour w h x y
    /usr/bin/import -window root -crop "$2x$3+$4+$5" "$work/crop.png"
    /usr/bin/convert "$work/crop.png" -format %c histogram:info:- |
        awk -v colour="$1" 'index($0, colour) { sum += $1 } END { print sum + 0 }'
}
bounds_of() { # object index
    "$cli" info --objects "$drawing" | awk -v i="$1" '$1 == "object" && $2 == i":" { print }' |
        sed 's/.*bounds=\([^ ]*\).*/\1/'
}

# A rectangle, selected; a double-click on it opens the sheet on its pages.
xdotool windowfocus --sync "$wid"
xdotool key r
drag 420 300 570 420
xdotool key s
xdotool mousemove 495 360 click 1
sleep 0.5
xdotool click --repeat 2 --delay 80 1
if open_sheet >/dev/null; then
    /usr/bin/import -window root "$shots/sheet-color.png"
    # The red cell of the default palette: row 2, column 7 of the grid below the swatches.
    xdotool mousemove $((sheet_x + 294)) $((sheet_y + 215)) click 1
    sleep 0.3
    /usr/bin/import -window root "$shots/sheet-color-picked.png"
    xdotool mousemove $((sheet_x + 440)) $((sheet_y + 436)) click 1 # OK
    sheet_closed || fail "OK did not close the sheet"
else
    fail "a double-click on the selected rectangle opened no sheet"
fi
red=$(pixels "#FF0000" 140 110 425 305)
echo "red pixels in the rectangle after OK: $red"
[ "$red" -gt 10000 ] || fail "the palette's red did not reach the rectangle"
xdotool key ctrl+z
sleep 0.5
red=$(pixels "#FF0000" 140 110 425 305)
echo "red pixels after Ctrl+Z: $red"
[ "$red" -lt 100 ] || fail "Ctrl+Z did not take the colour back"

# The Size page: twice the width with the aspect ratio kept.
xdotool key ctrl+s
sleep 1
old=$(bounds_of "$before")
xdotool mousemove 495 360 click 1
sleep 0.5
xdotool click --repeat 2 --delay 80 1
if open_sheet >/dev/null; then
    xdotool mousemove $((sheet_x + 110)) $((sheet_y + 25)) click 1 # the Size tab
    sleep 0.5
    xdotool mousemove $((sheet_x + 210)) $((sheet_y + 98)) click 1 # the width
    xdotool key ctrl+a
    xdotool type --delay 50 "$(echo "$old" | awk -F, '{ printf "%.2f", 2 * ($3 - $1) / 100 }')"
    sleep 0.3
    /usr/bin/import -window root "$shots/sheet-size.png"
    xdotool mousemove $((sheet_x + 440)) $((sheet_y + 436)) click 1
    sheet_closed || fail "OK did not close the sheet"
else
    fail "the second double-click opened no sheet"
fi
xdotool key ctrl+s
sleep 1
new=$(bounds_of "$before")
echo "rectangle bounds before: $old, after the Size page: $new"
ratio=$(echo "$old $new" | awk '{ split($1, a, ","); split($2, b, ","); printf "%.3f %.3f", (b[3] - b[1]) / (a[3] - a[1]), (b[4] - b[2]) / (a[4] - a[2]) }')
echo "width and height ratios: $ratio"
echo "$ratio" | awk '{ exit !($1 > 1.98 && $1 < 2.02 && $2 > 1.98 && $2 < 2.02) }' ||
    fail "the Size page did not double the rectangle"

# Nothing selected: the Color button opens the colour page alone; Escape cancels it.
xdotool mousemove 850 400 click 1
sleep 0.3
xdotool mousemove 265 $(($(bottom_bar_top) + 16)) click 1
if open_sheet >/dev/null; then
    /usr/bin/import -window root "$shots/sheet-defaults.png"
    xdotool key Escape
    sheet_closed || fail "Escape did not close the sheet"
else
    fail "the Color button opened no sheet"
fi

xdotool windowfocus --sync "$wid"
quit_editor "$pid"
if grep -q "CRITICAL" "$work/stderr"; then
    fail "the toolkit complained:"
    grep "CRITICAL" "$work/stderr" | head -5
fi
exit $status
