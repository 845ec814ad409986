# Sourced by the editor's Xvfb tests: checks the peer tools, re-runs the calling script under its own
# virtual X server, and gives it a private home so that the editor's preferences and data folder never
# touch the user's. Exit 77 (skipped) when a tool is missing, unless CI=true, where that is a failure.
# The caller sets gui_tools (the programs it needs) before sourcing; afterwards $work is its scratch folder.
missing=""
for tool in xvfb-run xdotool $gui_tools; do
    command -v "$tool" >/dev/null 2>&1 || missing="$missing $tool"
done
if [ -n "$missing" ]; then
    if [ "${CI:-}" = "true" ]; then
        echo "FAIL: missing$missing (scripts/setup installs them)"
        exit 1
    fi
    echo "SKIP: missing$missing"
    exit 77
fi

if [ "${PQ_GUI_INNER:-}" != "1" ]; then
    PQ_GUI_INNER=1 exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data PQDRAW_HOME=$work/pqdraw

# A test's outcome: fail notes a failure and lets the test go on, so that every step is reported.
status=0
fail() { echo "FAIL: $*"; status=1; }

# Screenshots go to $PQ_GUI_SCREENSHOTS when it is set (to look at them), else to the scratch folder.
shots=${PQ_GUI_SCREENSHOTS:-${PQ_GUI_SCREENSHOT_DIR:-$work}}

# Waits up to 10 seconds for a shown window with exactly this name; prints its id.
wait_for_window() { # name
    timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -1
}
# True while a window with exactly this name is shown.
window_shown() { # name
    [ -n "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null)" ]
}

# A drag as a hand makes it: press, several moves, release.
drag() { # x0 y0 x1 y1
    local steps=8 i
    xdotool mousemove "$1" "$2" mousedown 1
    for i in $(seq 1 $steps); do
        xdotool mousemove $(($1 + ($3 - $1) * i / steps)) $(($2 + ($4 - $2) * i / steps))
        sleep 0.05
    done
    xdotool mouseup 1
    sleep 0.5
}

# Starts the FTP test server on a free port of its choosing in $work/root; sets server and port, and
# stops it on exit. Skips (or fails in CI) without pyftpdlib.
start_ftp_server() { # server-script
    if ! /usr/bin/python3 -c 'import pyftpdlib' 2>/dev/null; then
        [ "${CI:-}" = "true" ] && { echo "FAIL: python3-pyftpdlib is missing"; exit 1; }
        echo "SKIP: python3-pyftpdlib is missing"
        exit 77
    fi
    mkdir -p "$work/root"
    /usr/bin/python3 "$1" --root "$work/root" >"$work/server.out" 2>"$work/server.err" &
    server=$!
    trap 'kill $server 2>/dev/null; rm -rf "$work"' EXIT
    port=""
    for _ in $(seq 100); do
        port=$(awk '/^PORT / { print $2 }' "$work/server.out")
        [ -n "$port" ] && break
        sleep 0.1
    done
    [ -n "$port" ] || { echo "FAIL: the FTP test server did not start"; cat "$work/server.err"; exit 1; }
}

# Waits for the editor's window; prints its id, or fails the test with the editor's errors.
wait_for_editor_window() { # pid
    local wid
    wid=$(timeout 20 xdotool search --sync --name "Pentaquill Draw" | head -1)
    if [ -z "$wid" ]; then
        echo "FAIL: no window named Pentaquill Draw appeared" >&2
        cat "$work/stderr" >&2
        kill "$1" 2>/dev/null
        exit 1
    fi
    echo "$wid"
}

# The top row of the bottom tool bar: where the canvas's grey desk ends in the window's right column
# (the status bar below the tool bar moves it).
bottom_bar_top() {
    /usr/bin/import -window root -crop 1x720+980+0 "$work/bar-column.png"
    /usr/bin/convert "$work/bar-column.png" txt:- | awk -F'[,: ]+' '/#EBEBEB/ { last = $2 } END { print last + 1 }'
}

# Quits the editor with Ctrl+Q, then presses the answer keys given (after a second, for a question about
# saving): a failure (through the caller's fail, with a screenshot) when it still runs 5 seconds later or
# exits with an error.
quit_editor() { # pid [answer-keys...]
    local _ editor=$1
    shift
    xdotool key ctrl+q
    if [ $# -gt 0 ]; then
        sleep 1
        xdotool key "$@"
    fi
    for _ in $(seq 50); do
        kill -0 "$editor" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$editor" 2>/dev/null; then
        /usr/bin/import -window root "$shots/not-quitting.png" 2>/dev/null
        fail "the editor did not quit within 5 seconds of Ctrl+Q"
        kill "$editor"
        return
    fi
    wait "$editor" || { fail "the editor exited with an error"; cat "$work/stderr"; }
}

# Copies the drawing into the scratch folder as $drawing, notes its object count in $before (through
# the headless tool $cli, when the caller has one) and starts the editor on the copy.
start_editor_on_copy() { # program drawing
    drawing=$work/drawing.pdf
    cp "$2" "$drawing"
    if [ -n "${cli:-}" ]; then
        before=$("$cli" info --objects "$drawing" | awk '/^objects:/ { print $2 }')
    fi
    start_editor "$1" "$drawing"
}

# Starts the editor on a drawing, its output kept in $work; sets pid and wid once its window is up.
start_editor() { # program drawing
    "$1" "$2" >"$work/stdout" 2>"$work/stderr" &
    pid=$!
    wid=$(wait_for_editor_window "$pid") || exit 1
    sleep 2
}
