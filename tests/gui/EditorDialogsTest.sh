#!/bin/bash
# The Template dialog and the settings sheet in the running editor: File > Template... lists the bundled
# templates copied on the first start and a double-click starts a drawing from one; Tools > Settings...
# refuses a page of no size and keeps the sheet open, turns the page to landscape and saves it as the
# default. Each dialog is photographed while open. Usage: EditorDialogsTest.sh PQDRAW
set -u
pqdraw=$1

gui_tools="/usr/bin/import /usr/bin/convert"
source "$(dirname "$0")/GuiTestCommon.sh"

# Counts the pixels of a screenshot's rectangle that are clearly bluer than red: the grid template's
# light blue lines, whatever smoothing blends them with the white page.
count_bluish() { # shot geometry
    /usr/bin/convert "$1" -crop "$2" +repage -format %c histogram:info:- |
        awk -F'[(),: ]+' '{ if ($5 - $3 > 20) sum += $2 } END { print sum + 0 }'
}
# Opens a menu of the bar (which sits at the window's top left without a window manager) and presses keys.
menu_keys() { # title-x keys...
    local x=$1
    shift
    xdotool mousemove "$x" 12 click 1
    sleep 0.7
    xdotool key "$@"
}

"$pqdraw" >"$work/stdout" 2>"$work/stderr" &
pid=$!
wid=$(wait_for_editor_window "$pid") || exit 1
sleep 2

for name in "A4 Portrait" "A4 Landscape" "Letter Portrait" "Letter Landscape" "A4 Grid"; do
    [ -f "$PQDRAW_HOME/Templates/$name.tpl" ] || fail "the bundled template $name was not copied on the first start"
done

# File > Template...: New, Open, Template... are the first three items.
menu_keys 15 Down Down Down Return
dialog=$(wait_for_window Template)
if [ -z "$dialog" ]; then
    fail "File > Template... opened no Template dialog"
else
    eval "$(xdotool getwindowgeometry --shell "$dialog")"
    /usr/bin/import -window root "$shots/template-dialog.png"
    # The first item, "A4 Grid", sits at the top of the list; a double-click is OK.
    xdotool mousemove $((X + 50)) $((Y + 20)) click --repeat 2 --delay 80 1
    sleep 1.5
    window_shown Template && fail "a double-click on a template did not close the dialog"
    /usr/bin/import -window root "$shots/from-template.png"
    grid=$(count_bluish "$shots/from-template.png" 960x600+20+60)
    echo "grid line pixels after starting from A4 Grid: $grid"
    [ "$grid" -gt 2000 ] || fail "the grid template's lines are not drawn"
    xdotool search --name "^Untitled - Pentaquill Draw\$" >/dev/null ||
        fail "the drawing started from a template is not untitled and unmodified"
fi

# Tools > Settings... is the Tools menu's last item.
menu_keys 140 Up Return
sheet=$(wait_for_window Settings)
if [ -z "$sheet" ]; then
    fail "Tools > Settings... opened no settings sheet"
else
    eval "$(xdotool getwindowgeometry --shell "$sheet")"
    /usr/bin/import -window root "$shots/settings-general.png"
    xdotool mousemove $((X + 125)) $((Y + 25)) click 1 # the "Page" tab
    sleep 0.7
    /usr/bin/import -window root "$shots/settings-page.png"
    # A width of 0 is refused with a message; the sheet stays open.
    xdotool mousemove $((X + 150)) $((Y + 136)) click --repeat 3 1
    xdotool key ctrl+a
    xdotool type 0
    xdotool key Tab
    xdotool mousemove $((X + 287)) $((Y + 365)) click 1 # OK
    sleep 1
    /usr/bin/import -window root "$shots/settings-refused.png"
    windows=$(xdotool search --onlyvisible --name "^Settings\$" | wc -l)
    [ "$windows" -ge 2 ] || fail "a page width of 0 was not refused with a message"
    xdotool key Return # the message's OK
    sleep 0.7
    window_shown Settings || fail "the sheet closed after refusing the page size"
    # Landscape swaps the sides of the page shown (the refused 0 typed over first), then Set as default.
    xdotool mousemove $((X + 150)) $((Y + 136)) click --repeat 3 1
    xdotool key ctrl+a
    xdotool type 21.00
    xdotool mousemove $((X + 200)) $((Y + 105)) click 1 # Landscape
    xdotool mousemove $((X + 30)) $((Y + 235)) click 1  # Set as default
    sleep 0.5
    /usr/bin/import -window root "$shots/settings-landscape.png"
    xdotool mousemove $((X + 287)) $((Y + 365)) click 1 # OK
    sleep 1
    window_shown Settings && fail "OK did not close the settings sheet"
    /usr/bin/import -window root "$shots/landscape-page.png"
    # Left of the portrait page lay the desk; the landscape page now reaches there.
    pixel() { /usr/bin/convert "$1" -crop 1x1+200+300 +repage -format '%[hex:p{0,0}]' info:-; }
    echo "left of the page before and after: $(pixel "$shots/from-template.png") $(pixel "$shots/landscape-page.png")"
    [ "$(pixel "$shots/landscape-page.png")" = FFFFFF ] || fail "the page did not turn to landscape on screen"
fi

xdotool windowfocus --sync "$wid"
# The page changed, so the editor asks whether to save it: No.
quit_editor "$pid" alt+n

ini="$XDG_CONFIG_HOME/pentaquill/draw.ini"
grep -q '^PageWidth=297000$' "$ini" || fail "Set as default did not store the landscape width"
grep -q '^PageHeight=210000$' "$ini" || fail "Set as default did not store the landscape height"
grep -q '^DefaultTemplate=A4 Grid$' "$ini" || fail "the chosen template was not remembered"
[ $status -eq 0 ] && echo "screenshots in $shots"
exit $status
