#!/bin/bash
# The clip-art library in the running editor: the starter clip-art is in the data folder after the first
# start; Tools > Send to Library... stores the selected objects as a new item with its picture; Tools >
# Library lists the category's items with their pictures, and a double-click inserts one, which Ctrl+S
# saves with the drawing. Each dialog is photographed while open.
# Usage: LibraryDialogsTest.sh PQDRAW PQDRAW-CLI SAMPLE.pdf
set -u
pqdraw=$1
cli=$2
sample=$3

gui_tools="/usr/bin/import /usr/bin/convert"
source "$(dirname "$0")/GuiTestCommon.sh"

# Opens the Tools menu (at the window's top left without a window manager) and presses keys.
tools_menu() { # keys...
    xdotool mousemove 140 12 click 1
    sleep 0.7
    xdotool key "$@"
}
object_count() { # file
    "$cli" info "$1" --objects | awk '/^objects:/ { print $2 }'
}

drawing=$work/drawing.pdf
cp "$sample" "$drawing"
before=$(object_count "$drawing")
library=$PQDRAW_HOME/Library

"$pqdraw" "$drawing" >"$work/stdout" 2>"$work/stderr" &
pid=$!
wid=$(wait_for_editor_window "$pid") || exit 1
sleep 2

for item in "Arrows/Chevron" "Symbols/Star" "Flow Chart/Decision" "Frames/Speech Bubble"; do
    [ -f "$library/$item.ai" ] && [ -f "$library/$item.bmp" ] ||
        fail "the bundled item $item was not copied on the first start"
done
[ -f "$library/Symbols/Sun.emf" ] || fail "the bundled metafile item was not copied"

# Select everything, then Tools > Send to Library... (the second item from the bottom).
xdotool key ctrl+a
sleep 0.5
tools_menu Up Up Return
sender=$(wait_for_window "Send to Library")
if [ -z "$sender" ]; then
    fail "Tools > Send to Library... opened no dialog"
else
    xdotool type "Welcome"
    sleep 0.3
    /usr/bin/import -window root "$shots/send-to-library.png"
    xdotool key Return # OK is the default button
    sleep 1.5
    window_shown "Send to Library" && fail "OK did not close the Send to Library dialog"
    [ -f "$library/Arrows/Welcome.ai" ] || fail "Send to Library wrote no Arrows/Welcome.ai"
    [ -f "$library/Arrows/Welcome.bmp" ] || fail "Send to Library wrote no picture beside its item"
    sent=$(object_count "$library/Arrows/Welcome.ai")
    [ "$sent" = "$before" ] || fail "the sent item holds $sent objects, not the $before selected"
fi

# Tools > Library (the third from the bottom), then a double-click on the first item inserts it.
xdotool key Escape
tools_menu Up Up Up Return
browser=$(wait_for_window Library)
if [ -z "$browser" ]; then
    fail "Tools > Library opened no dialog"
else
    eval "$(xdotool getwindowgeometry --shell "$browser")"
    sleep 0.5
    /usr/bin/import -window root "$shots/library.png"
    # The Chevron's green picture shows at the list's top left.
    green=$(/usr/bin/convert "$shots/library.png" -crop 80x50+$((X + 20))+$((Y + 55)) +repage -format %c \
        histogram:info:- | awk -F'[(),: ]+' '{ if ($4 - $3 > 60 && $4 - $5 > 60) sum += $2 } END { print sum + 0 }')
    echo "green pixels of the Chevron's picture: $green"
    [ "$green" -gt 80 ] || fail "the Library dialog does not show the Chevron's picture"
    # The "..." menu: nothing is selected, so only the category entries are offered.
    xdotool mousemove $((X + 440)) $((Y + 26)) click 1
    sleep 0.7
    /usr/bin/import -window root "$shots/library-menu.png"
    xdotool key Escape
    sleep 0.5
    window_shown Library || fail "closing the \"...\" menu closed the Library dialog"
    xdotool mousemove $((X + 65)) $((Y + 75)) click --repeat 2 --delay 80 1
    sleep 1.5
    window_shown Library && fail "a double-click on an item did not insert it"
    /usr/bin/import -window root "$shots/inserted.png"
fi

xdotool windowfocus --sync "$wid"
xdotool key ctrl+s
sleep 1.5
after=$(object_count "$drawing")
echo "objects before and after inserting the Chevron: $before $after"
[ "$after" = $((before + 1)) ] || fail "the saved drawing holds $after objects, not $((before + 1))"
# The Chevron is 36 x 30 mm and lands on top of the drawing.
"$cli" info "$drawing" --objects | grep "^object $before: " | tee "$work/chevron.txt"
awk -F'[=, ]+' '{ for (i = 1; i <= NF; ++i) if ($i == "bounds") { w = $(i + 3) - $(i + 1); h = $(i + 4) - $(i + 2) } }
    END { exit !(w > 355 && w < 365 && h > 295 && h < 305) }' "$work/chevron.txt" ||
    fail "the inserted object is not the Chevron's size"

quit_editor "$pid"
grep -q '^LastCategory=0$' "$XDG_CONFIG_HOME/pentaquill/draw.ini" || fail "the category was not remembered"
[ $status -eq 0 ] && echo "screenshots in $shots"
exit $status
