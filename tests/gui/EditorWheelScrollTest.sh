#!/bin/bash
# In the running editor under a virtual X server: the mouse wheel scrolls, Ctrl+wheel zooms about the
# pointer (the status bar's zoom changes while the pointer's place does not), and dragging the scroll
# bar's thumb or clicking its trough moves the view to another part of the page, never off it.
# Usage: EditorWheelScrollTest.sh PQDRAW DRAWING
set -u
pqdraw=$1
drawing=$2

gui_tools="/usr/bin/import /usr/bin/convert /usr/bin/compare"
source "$(dirname "$0")/GuiTestCommon.sh"
mkdir -p "$shots"

# Classic scroll bars (overlay ones only show while hovered), shown from the start by the preference.
export GTK_OVERLAY_SCROLLING=0
mkdir -p "$XDG_CONFIG_HOME/pentaquill"
printf '[Draw]\nShowScrollBars=1\n' >"$XDG_CONFIG_HOME/pentaquill/draw.ini"

start_editor "$pqdraw" "$drawing"

# The 1000 x 720 window sits at 0,0 without a window manager: the canvas lies between the command bar
# and the bottom bar, its vertical scroll bar along its right edge; the status bar is the last row.
canvas=940x560+20+80
statusrow=1000x18+0+700
shot() { /usr/bin/import -window root "$shots/$1.png"; }
crop() { /usr/bin/convert "$shots/$1.png" -crop "$2" +repage "$work/$1-$3.png"; }
differing() { /usr/bin/compare -metric AE "$work/$1" "$work/$2" null: 2>&1 | cut -d' ' -f1; }
# The box round the pixels that differ, as WxH+X+Y.
changed_box() {
    /usr/bin/convert "$work/$1" "$work/$2" -compose difference -composite -threshold 0 -format %@ info:
}
white_share() { # percent of the canvas that is page white
    /usr/bin/convert "$work/$1" -format %c histogram:info:- |
        awk 'index($0, "#FFFFFF") { white += $1 } { all += $1 } END { print int(100 * white / all) }'
}
capture() { # name: screenshot, canvas and status row
    shot "$1"
    crop "$1" "$canvas" canvas
    crop "$1" "$statusrow" status
}

xdotool mousemove 500 350
sleep 0.5
capture 1-start

# Three notches down: the drawing moves up, and the status bar's position (of the point now under the
# pointer) changes.
xdotool click 5 click 5 click 5
sleep 1
capture 2-wheel
moved=$(differing 1-start-canvas.png 2-wheel-canvas.png)
echo "canvas pixels changed by the wheel: $moved"
[ "${moved:-0}" -gt 5000 ] 2>/dev/null || fail "the wheel did not scroll the view"
position_box=$(changed_box 1-start-status.png 2-wheel-status.png)
echo "status bar changed by the wheel at $position_box"

# Two notches up with Ctrl: the view zooms in about the pointer. The status bar's zoom changes; the
# pointer's place does not, so what changed lies wholly to the right of the position field.
xdotool keydown ctrl click 4 click 4 keyup ctrl
sleep 1
capture 3-zoomed
zoomed=$(differing 2-wheel-canvas.png 3-zoomed-canvas.png)
echo "canvas pixels changed by Ctrl+wheel: $zoomed"
[ "${zoomed:-0}" -gt 5000 ] 2>/dev/null || fail "Ctrl+wheel did not zoom the view"
zoom_box=$(changed_box 2-wheel-status.png 3-zoomed-status.png)
echo "status bar changed by Ctrl+wheel at $zoom_box"
position_end=$(echo "$position_box" | awk -F'[x+]' '{ print $1 + $3 }')
zoom_start=$(echo "$zoom_box" | awk -F'[x+]' '{ print $3 }')
if ! [ "${zoom_start:-0}" -ge "${position_end:-10000}" ] 2>/dev/null || [ "$(echo "$position_box" | cut -dx -f1)" = 0 ]; then
    fail "Ctrl+wheel should change only the zoom field, right of the position field ($position_box, $zoom_box)"
fi

# The vertical scroll bar's thumb: the run of non-trough pixels in the bar's column.
bar_x=992
read -r thumb_top thumb_bottom <<<"$(/usr/bin/convert "$shots/3-zoomed.png" -crop 1x590+$bar_x+60 +repage txt:- |
    awk 'NR > 1 { split($1, at, /[,:]/); if ($3 != "#CECECE") { if (top == "") top = at[2]; bottom = at[2] } }
         END { print top + 60, bottom + 60 }')"
echo "vertical thumb from $thumb_top to $thumb_bottom"
if [ $((thumb_bottom - thumb_top)) -lt 20 ] || [ $((thumb_bottom - thumb_top)) -gt 500 ]; then
    fail "no thumb the size of the visible part on the vertical bar"
fi

# Dragged down by 150 pixels: the view follows to a lower part of the page, which still fills it.
grab=$(((thumb_top + thumb_bottom) / 2))
xdotool mousemove $bar_x $grab mousedown 1
for step in 1 2 3 4 5 6; do
    xdotool mousemove $bar_x $((grab + step * 25))
    sleep 0.05
done
xdotool mouseup 1
sleep 1
capture 4-dragged
dragged=$(differing 3-zoomed-canvas.png 4-dragged-canvas.png)
white=$(white_share 4-dragged-canvas.png)
echo "canvas pixels changed by the thumb drag: $dragged; page white: $white%"
[ "${dragged:-0}" -gt 5000 ] 2>/dev/null || fail "dragging the thumb did not move the view"
[ "${white:-0}" -ge 15 ] 2>/dev/null || fail "after the thumb drag the page is out of sight"

# A click in the trough above the thumb: the view moves up the page, and the page still shows.
xdotool mousemove $bar_x 70 click 1
sleep 1
capture 5-trough
paged=$(differing 4-dragged-canvas.png 5-trough-canvas.png)
white=$(white_share 5-trough-canvas.png)
echo "canvas pixels changed by the trough click: $paged; page white: $white%"
[ "${paged:-0}" -gt 5000 ] 2>/dev/null || fail "clicking the trough did not move the view"
[ "${white:-0}" -ge 15 ] 2>/dev/null || fail "after the trough click the page is out of sight"

xdotool windowfocus --sync "$wid"
quit_editor "$pid"
[ $status -eq 0 ] && echo "PASS (screenshots in $shots)"
exit $status
