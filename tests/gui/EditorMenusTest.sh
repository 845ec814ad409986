#!/bin/bash
# The menus and dialogs a user reaches from the keyboard, under a virtual X server: Alt+F opens the File
# menu, Help > About shows the about box, the page menu opens above its button and adds a page, View > Go
# to page... refuses a page that does not exist and shows one that does, the colour drop-down opens above
# its button without covering it, and F1 without a web browser says where the help is.
# Usage: EditorMenusTest.sh PQDRAW DRAWING
set -u
pqdraw=$1
source_drawing=$2

gui_tools="/usr/bin/import /usr/bin/convert /usr/bin/compare"
source "$(dirname "$0")/GuiTestCommon.sh"
start_editor_on_copy "$pqdraw" "$source_drawing"
shot() { /usr/bin/import -window root "$shots/$1.png"; }
# Pixels that differ between two screenshots in a region (WxH+X+Y).
changed() { # before after region
    /usr/bin/convert "$shots/$1.png" -crop "$3" +repage "$work/crop-a.png"
    /usr/bin/convert "$shots/$2.png" -crop "$3" +repage "$work/crop-b.png"
    /usr/bin/compare -metric AE "$work/crop-a.png" "$work/crop-b.png" null: 2>&1 | sed 's/[^0-9].*//'
}
# Waits up to 5 seconds for a window whose whole name matches; prints its id.
wait_window() { # name
    local i id
    for i in $(seq 50); do
        id=$(xdotool search --name "^$1\$" 2>/dev/null | head -1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}
gone() { # name
    local i
    for i in $(seq 50); do
        xdotool search --name "^$1\$" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    return 1
}
xdotool windowfocus --sync "$wid"

# Alt+F opens the File menu.
shot 0-start
xdotool key alt+f
sleep 0.7
shot 1-file-menu
opened=$(changed 0-start 1-file-menu 300x400+0+25)
echo "pixels changed by Alt+F under the menu bar: $opened"
[ "${opened:-0}" -gt 3000 ] || fail "Alt+F did not open the File menu"
xdotool key Escape
sleep 0.5

# Help > About (its mnemonic A) shows the about box with the product's name; Escape closes it.
xdotool key alt+h
sleep 0.5
xdotool key a
if about=$(wait_window "About Pentaquill Draw"); then
    sleep 0.7
    shot 2-about
    xdotool windowfocus --sync "$about" key Escape
    gone "About Pentaquill Draw" || fail "Escape did not close the about box"
else
    fail "Help > About showed no about box"
fi
xdotool windowfocus --sync "$wid"
sleep 0.5

# The pages bar (View > Pages) and its first button, the page menu: it opens above the button, and its
# first item adds a page.
xdotool key alt+v
sleep 0.5
xdotool key p
sleep 0.7
shot 3-pages-bar
# The page menu button is the first of the bottom bar: find the bar's top edge from the screenshot (the
# canvas's grey desk ends there).
bar_top=$(bottom_bar_top)
button_y=$((bar_top + 16))
# The bar's rows below its top edge (the status bar under it shows menu hints).
bar_rows=28
echo "pages bar starts at y $bar_top"
xdotool mousemove 20 "$button_y" click 1
sleep 0.8
shot 4-page-menu
# The button itself is not covered: the rows of the bar look as they did before the menu opened, but for
# the pressed button.
covered=$(changed 3-pages-bar 4-page-menu "300x$bar_rows+60+$((bar_top + 2))")
echo "pixels of the pages bar changed by the open page menu: $covered"
[ "${covered:-0}" -lt 200 ] || fail "the page menu covers the pages bar"
xdotool key Down Return
sleep 0.7

# View > Go to page... (its mnemonic e): 9 is refused with a message, then 1 is shown.
xdotool key alt+v
sleep 0.5
xdotool key e
if dialog=$(wait_window "Go to page"); then
    sleep 0.5
    shot 5-go-to-page
    xdotool windowfocus --sync "$dialog" key ctrl+a
    xdotool type 9
    xdotool key Return
    if message=$(wait_window "Pentaquill Draw"); then
        sleep 0.5
        shot 6-no-such-page
        xdotool windowfocus --sync "$message" key Return
        sleep 0.5
    else
        fail "page 9 of 2 was not refused"
    fi
    if dialog=$(wait_window "Go to page"); then
        xdotool windowfocus --sync "$dialog" key ctrl+a
        xdotool type 1
        xdotool key Return
        gone "Go to page" || fail "Go to page did not close after a page that exists"
    else
        fail "Go to page was not asked again after the refusal"
    fi
else
    fail "View > Go to page... showed no dialog"
fi
xdotool windowfocus --sync "$wid"
sleep 0.5
shot 7-page-one
# The sample's dark blue title band is on page 1 only.
band() { /usr/bin/convert "$shots/$1.png" -crop 1000x640+0+55 +repage -format %c histogram:info:- |
    awk 'index($0, "#143A5A") { sum += $1 } END { print sum + 0 }'; }
echo "title band pixels on page 2: $(band 5-go-to-page), on page 1: $(band 7-page-one)"
[ "$(band 5-go-to-page)" -eq 0 ] && [ "$(band 7-page-one)" -gt 2000 ] || fail "Go to page did not show page 1"

# Zoom keys: + zooms in about the centre and - back out, to the same pixels; 4 fits the drawing first.
xdotool key 4
sleep 0.7
shot 7a-fit-drawing
xdotool key plus
sleep 0.7
shot 7b-zoomed-in
xdotool key minus
sleep 0.7
shot 7c-zoomed-out
zoomed=$(changed 7a-fit-drawing 7b-zoomed-in 980x620+10+60)
back=$(changed 7a-fit-drawing 7c-zoomed-out 980x620+10+60)
echo "canvas pixels changed by +: $zoomed, left changed after + and -: $back"
[ "${zoomed:-0}" -gt 10000 ] && [ "${back:-1}" -eq 0 ] || fail "the + and - keys do not zoom in and back out"

# Page keys: Page Down shows page 2 (no title band), Home page 1 again, End page 2, Page Up page 1.
pages_seen=""
for key in Next Home End Prior; do
    xdotool key "$key"
    sleep 0.7
    shot "7-key-$key"
    [ "$(band "7-key-$key")" -gt 2000 ] && pages_seen="$pages_seen 1" || pages_seen="$pages_seen 2"
done
echo "pages after Page Down, Home, End, Page Up:$pages_seen"
[ "$pages_seen" = " 2 1 2 1" ] || fail "the page keys did not move between the pages"

# The Tools menu: the tools as radio items, the current one (Pan) marked.
xdotool key alt+t
sleep 0.7
shot 7d-tools-menu
xdotool key Escape
sleep 0.5

# The drawing bar's colour drop-down opens above the Color button and leaves it uncovered.
xdotool key alt+v
sleep 0.5
xdotool key d
sleep 0.7
shot 8-drawing-bar
# The arrow is the bar's last button: the rightmost non-background pixel column of the bar.
arrow_x=$(/usr/bin/convert "$shots/8-drawing-bar.png" -crop "1000x1+0+$button_y" +repage txt:- |
    awk -F'[,: ]+' '!/#EFEFEF|#F6F5F4|#FFFFFF|#EDEDED|#F0F0F0/ && $1 ~ /^[0-9]+$/ { last = $1 } END { print last - 6 }')
echo "colour drop-down arrow at x $arrow_x"
xdotool mousemove "$arrow_x" "$button_y" click 1
sleep 0.8
shot 9-color-menu
# From the first tool to the Color button beside the arrow (the Undo button's look follows the focus).
covered=$(changed 8-drawing-bar 9-color-menu "$((arrow_x - 10 - 40))x$bar_rows+40+$((bar_top + 2))")
echo "pixels of the drawing bar's tools and Color button changed by the open colour menu: $covered"
[ "${covered:-0}" -lt 200 ] || fail "the colour drop-down covers the bar"
xdotool key Escape
sleep 0.5

# F1 opens the help; without a web browser on this machine it says so in words.
if ! command -v xdg-open >/dev/null 2>&1; then
    xdotool windowfocus --sync "$wid" key F1
    if message=$(wait_window "Pentaquill Draw"); then
        sleep 0.5
        shot 10-no-browser
        xdotool windowfocus --sync "$message" key Return
    else
        fail "F1 without a browser said nothing"
    fi
fi

kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
if grep -q -i "critical\|assert" "$work/stderr"; then
    cat "$work/stderr"
    fail "the editor reported errors"
fi
[ $status -eq 0 ] && echo "PASS"
exit $status
