#!/bin/bash
# The editor starts on a drawing under a virtual X server, shows its window with the page drawn, and
# quits cleanly on Ctrl+Q. Usage: EditorSmokeTest.sh PQDRAW [DRAWING]
set -u
pqdraw=$1
drawing=${2:-}

gui_tools="/usr/bin/import /usr/bin/convert /usr/bin/compare"
source "$(dirname "$0")/GuiTestCommon.sh"
shot=${PQ_GUI_SCREENSHOT:-$work/editor.png}

"$pqdraw" ${drawing:+"$drawing"} >"$work/stdout" 2>"$work/stderr" &
pid=$!
wid=$(wait_for_editor_window "$pid") || exit 1
# The first paint fits the page and asks for a second one; give both time to land.
sleep 2
/usr/bin/import -window root "$shot"

# The canvas lies below the menu and command bars and above the bottom bar of the 1000 x 720 window, which
# sits at 0,0 without a window manager. A drawn page is white on the grey desk (#EBEBEB) with a black border.
histogram=$(/usr/bin/convert "$shot" -crop 960x560+20+80 +repage -format %c histogram:info:-)
count() { echo "$histogram" | awk -v colour="$1" 'index($0, colour) { sum += $1 } END { print sum + 0 }'; }
total=$((960 * 560))
white=$(count "#FFFFFF")
desk=$(count "#EBEBEB")
black=$(count "#000000")
echo "canvas pixels: white $white, desk $desk, black $black of $total"
status=0
if [ "$white" -lt $((total / 10)) ] || [ "$desk" -lt $((total / 10)) ] || [ "$black" -lt 500 ]; then
    echo "FAIL: the page is not drawn (screenshot $shot)"
    status=1
fi
# The bundled sample opens with a dark blue title band across its top.
if [ -n "$drawing" ]; then
    band=$(count "#143A5A")
    echo "title band pixels: $band"
    if [ "$band" -lt 2000 ]; then
        echo "FAIL: the drawing's objects are not drawn (screenshot $shot)"
        status=1
    fi
fi

# View > Scrollbars changes the client area under the view; the canvas must be drawn again at once, not
# left black. The menu bar sits at the window's top left: "View" is its third title, "Scrollbars" the last
# of its six items.
xdotool mousemove 103 12 click 1
sleep 0.5
xdotool mousemove 140 164 click 1
sleep 1
/usr/bin/import -window root "$work/scrollbars.png"
dark=$(/usr/bin/convert "$work/scrollbars.png" -crop 900x560+20+80 +repage -format %c histogram:info:- |
    awk 'index($0, "#000000") { sum += $1 } END { print sum + 0 }')
echo "black pixels after showing the scroll bars: $dark"
if [ "$dark" -gt $((900 * 560 / 4)) ]; then
    echo "FAIL: the canvas was left black when the scroll bars appeared"
    status=1
fi

# Escape closes an open menu: the frame's keys never take it from the menu.
/usr/bin/import -window root -crop 300x400+0+30 "$work/menu-before.png"
xdotool mousemove 42 12 click 1
sleep 0.5
xdotool key Escape
sleep 0.5
/usr/bin/import -window root -crop 300x400+0+30 "$work/menu-after.png"
changed=$(/usr/bin/compare -metric AE "$work/menu-before.png" "$work/menu-after.png" null: 2>&1)
echo "pixels changed after opening the Edit menu and pressing Escape: $changed"
if [ "${changed%%.*}" -gt 2000 ] 2>/dev/null || ! [ "${changed%%.*}" -ge 0 ] 2>/dev/null; then
    echo "FAIL: Escape did not close the menu"
    status=1
fi

xdotool windowfocus --sync "$wid"
quit_editor "$pid"
[ -f "$work/config/pentaquill/draw.ini" ] || { echo "FAIL: the view's preferences were not written"; status=1; }
exit $status
