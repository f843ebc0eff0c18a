#!/usr/bin/env bash
# Drives the real program window under a virtual X server with synthetic clicks
# and keys, and checks it by its screenshots.
#
#   real_window.sh VELMORA [SHOT_DIR]                      the test
#   real_window.sh --screenshot OUT.png VELMORA [SHOT_DIR]  a picture of a path-mode run
#
# Screenshots go to SHOT_DIR (default: a fresh temporary folder); a failure names them.
# Exit status: 0 passed, 1 failed, 77 skipped (no xvfb-run, xdotool or import).
set -u

SKIP=77
NO_SERVER=3  # from the inner run: the virtual X server is not usable
screenshot_out=""
if [[ ${1:-} == --screenshot ]]; then
    screenshot_out=${2:?--screenshot needs a file}
    shift 2
fi
inside=0
if [[ ${1:-} == --inside ]]; then
    inside=1
    shift
fi
app=${1:?usage: real_window.sh [--screenshot OUT.png] VELMORA [SHOT_DIR]}
shots=${2:-}

# ---------------------------------------------------------------------------
# Outside the virtual server: check the tools, then run this script again under
# xvfb-run in a process group of its own, so that an interrupted test leaves
# neither the server nor the program behind.
if ((inside == 0)); then
    for tool in xvfb-run xdotool import; do
        if ! command -v "$tool" >/dev/null; then
            echo "SKIP: $tool is not installed"
            exit $SKIP
        fi
    done
    [[ -x $app ]] || { echo "FAIL: no program at $app"; exit 1; }
    app=$(realpath "$app")
    [[ -n $shots ]] || shots=$(mktemp -d "${TMPDIR:-/tmp}/real_window.XXXXXX")
    mkdir -p "$shots" && rm -f "$shots"/*.png "$shots"/*.txt
    shots=$(realpath "$shots")
    if [[ -n $screenshot_out ]]; then
        mkdir -p "$(dirname "$screenshot_out")"
        screenshot_out=$(realpath "$screenshot_out")
    fi
    args=(--inside "$app" "$shots")
    [[ -z $screenshot_out ]] || args=(--screenshot "$screenshot_out" "${args[@]}")

    group=""
    # group_alive: a process of the group still runs (zombies have let go of everything).
    group_alive() {
        local f s state pgrp
        for f in /proc/[0-9]*/stat; do
            { s=$(<"$f"); } 2>/dev/null || continue
            read -r state _ pgrp _ <<<"${s##*) }"
            [[ $pgrp == "$group" && $state != Z ]] && return 0
        done
        return 1
    }
    # stop_group: ends what is left of the group, the X server included, and waits for it.
    stop_group() {
        [[ -n $group ]] || return 0
        local i
        kill -TERM -- "-$group" 2>/dev/null
        for ((i = 0; i < 50; i++)); do
            group_alive || break
            sleep 0.1
        done
        kill -KILL -- "-$group" 2>/dev/null
        group=""
    }
    trap stop_group EXIT
    trap 'exit 1' INT TERM HUP
    # Another xvfb-run may be picking a display at the same moment: a server that
    # would not take our connections is a reason to try again, not a failure.
    for attempt in 1 2 3; do
        # Starting the search away from xvfb-run's usual 99 makes such a clash rare.
        # -noreset: the program is often the server's only client, and this script
        # starts it again right after it quits; a server that regenerates when its
        # last client leaves can refuse that next connection.
        setsid xvfb-run -a -n $((100 + RANDOM % 400)) -e "$shots/xvfb.txt" -s "-screen 0 1024x768x24 -noreset" \
            "$0" "${args[@]}" &
        group=$!
        wait "$group"
        status=$?
        stop_group
        ((status == NO_SERVER)) || break
        echo "The virtual X server did not take connections; trying again"
    done
    exit $status
fi

# ---------------------------------------------------------------------------
# Inside: DISPLAY is the virtual server.

# The real ImageMagick tools sit beside import; another "convert" may come first on PATH.
im=$(dirname "$(command -v import)")
convert=$im/convert
compare=$im/compare

runtime_dir=$(mktemp -d)
pid=""
cleanup() {
    if [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null; then
        kill -TERM "$pid" 2>/dev/null
        sleep 0.5
        kill -KILL "$pid" 2>/dev/null
    fi
    rm -rf "$runtime_dir"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

taken=()
fail() {
    echo "FAIL: $*"
    if ((${#taken[@]})); then
        echo "Screenshots of this run:"
        printf '  %s\n' "${taken[@]}"
    fi
    [[ ! -s $shots/stderr.txt ]] || { echo "Program's stderr:"; sed 's/^/  /' "$shots/stderr.txt"; }
    [[ ! -s $shots/xvfb.txt ]] || { echo "The X server's output:"; sed 's/^/  /' "$shots/xvfb.txt"; }
    exit 1
}

now_ms() { local t=${EPOCHREALTIME//[!0-9]/}; echo $((t / 1000)); }

# poll MS COMMAND...: runs COMMAND until it succeeds, for at most MS milliseconds.
poll() {
    local end=$(($(now_ms) + $1))
    shift
    until "$@"; do
        (($(now_ms) < end)) || return 1
        sleep 0.05
    done
}

# Content-area coordinates (below the menu bar) of the controls: left top width height.
CANVAS="106 62 567 486"
STABLE="6 92 80 20"
UNSTABLE="6 124 80 20"
STOP="6 170 80 20"
SCALE_UP="8 236 80 20"
ANIMATION="5 309 100 20"
PATHS="5 341 100 20"
YEARS="6 402 70 41"
YEARS_AREA="6 402 100 41"  # the label grows to the right for longer numbers, up to the canvas
DT_FIELD="540 7 49 22"
EDIT_TITLE="50 -10"        # a point on the menu bar's "Edit", above the content (x y)
ABOUT_LAST_LINE="29 289 480 8"  # below the 40 px box of the about window's StaticText6: its fourth line
ERASE="193,219,211"
PATH_COLOURS="0,0,255 0,150,0 255,0,0"
STAR_PIXELS=37  # a 7 x 7 picture less its three-pixel corners

menu_bar=0  # measured in find_window

launch() {
    QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$runtime_dir "$app" >"$shots/stdout.txt" 2>"$shots/stderr.txt" &
    pid=$!
}

# shot NAME: screenshot of the main window as $shots/NAME.png.
shot() {
    import -window "$wid" "$shots/$1.png" 2>>"$shots/import.txt" || return 1
    [[ " ${taken[*]} " == *" $shots/$1.png "* ]] || taken+=("$shots/$1.png")
}

# click CONTROL: the middle of a control, given in content coordinates.
click() {
    local l t w h
    read -r l t w h <<<"$1"
    xdotool mousemove --window "$wid" $((l + w / 2)) $((menu_bar + t + h / 2)) click 1
}

# geom RECT: the ImageMagick crop geometry of a content rectangle.
geom() {
    local l t w h
    read -r l t w h <<<"$1"
    echo "${w}x${h}+${l}+$((menu_bar + t))"
}

# same_region A B RECT: the two screenshots agree in the rectangle.
same_region() { "$compare" -metric AE "$shots/$1.png[$(geom "$3")]" "$shots/$2.png[$(geom "$3")]" null: 2>/dev/null; }

# canvas_colours NAME: "r,g,b count" for every colour in the canvas.
canvas_colours() {
    "$convert" "$shots/$1.png[$(geom "$CANVAS")]" -depth 8 -format %c histogram:info:- |
        sed -nE 's/^ *([0-9]+): *\( *([0-9]+), *([0-9]+), *([0-9]+).*/\2,\3,\4 \1/p'
}

canvas_blank() { [[ $(canvas_colours "$1") == "$ERASE "* && $(canvas_colours "$1" | wc -l) == 1 ]]; }

# path_dots NAME [any]: every canvas pixel is the erase colour or a path colour, and each
# path colour is there (with "any": may be there).
path_dots() {
    local wanted=$PATH_COLOURS
    [[ ${2:-} != any ]] || wanted=""
    canvas_colours "$1" | awk -v allowed="$ERASE $PATH_COLOURS" -v wanted="$wanted" '
        BEGIN { n = split(allowed, a, " "); for (i = 1; i <= n; i++) ok[a[i]] = 1; m = split(wanted, w, " ") }
        { if ($1 in ok) seen[$1] += $2; else { other += $2; if (!first) first = $1 } }
        END {
            for (i = 1; i <= m; i++) if (!(w[i] in seen)) { print "no pixel of " w[i]; bad = 1 }
            if (other) { print other " pixels of other colours, e.g. " first; bad = 1 }
            exit bad
        }'
}

# star_hues NAME: the canvas holds pixels of a blue, a green and a red star, and not
# many more than one star of each (the old positions are erased as the stars move).
star_hues() {
    canvas_colours "$1" | awk -F'[, ]' -v star="$STAR_PIXELS" '
        function max(a, b) { return a > b ? a : b }
        { r = $1; g = $2; b = $3
          if (r - max(g, b) > 60) red += $4
          else if (g - max(r, b) > 40) green += $4
          else if (b - max(r, g) > 60) blue += $4 }
        END {
            printf "star pixels: blue %d, green %d, red %d\n", blue, green, red
            ok = 1
            if (blue < star / 2 || green < star / 2 || red < star / 2) ok = 0
            if (blue > 3 * star || green > 3 * star || red > 3 * star) ok = 0
            exit !ok
        }'
}

# settled NAME: two screenshots in a row agree; the later one is NAME.
settled() {
    shot "$1.prev" && sleep 0.2 && shot "$1" &&
        "$compare" -metric AE "$shots/$1.prev.png" "$shots/$1.png" null: 2>/dev/null
}

# years_change: the years label shows another text half a second later.
years_change() { shot years.a && sleep 0.5 && shot years.b && ! same_region years.a years.b "$YEARS_AREA"; }
# years_stay: the years label shows the same text over a second.
years_stay() {
    shot years.a && sleep 0.5 && shot years.b && sleep 0.5 && shot years.c &&
        same_region years.a years.b "$YEARS_AREA" && same_region years.b years.c "$YEARS_AREA"
}

# type_dt TEXT: replaces the time step field's text, as a person would.
type_dt() { click "$DT_FIELD" && xdotool key ctrl+a && xdotool type --window "$wid" -- "$1"; }

visible_windows() { xdotool search --onlyvisible --name '' 2>/dev/null | sort; }

# open_menu NAME COMMAND...: runs COMMAND, which opens a menu; sets popup to the menu's
# window, and saves the menu as NAME.png and the whole screen as NAME.screen.png.
open_menu() {
    local name=$1 before
    shift
    before=$(visible_windows)
    "$@"
    popup_shown() { popup=$(comm -13 <(echo "$before") <(visible_windows) | head -1) && [[ -n $popup ]]; }
    poll 5000 popup_shown || return 1
    sleep 0.2  # drawn
    import -window "$popup" "$shots/$name.png" 2>>"$shots/import.txt" &&
        import -window root "$shots/$name.screen.png" 2>>"$shots/import.txt" || return 1
    taken+=("$shots/$name.png" "$shots/$name.screen.png")
}
popup_gone() { ! visible_windows | grep -qx "$popup"; }

# rows_of NAME: the picture's rows from top to bottom, one letter for each run of like rows:
# "-" a line across (a frame or a separator), "T" some marks (text), "." blank; the
# background is the commonest colour, and 4 px at either side are left out (side frames).
rows_of() {
    "$convert" "$shots/$1.png" -depth 8 txt:- | awk '
        NR > 1 {
            split($1, p, /[,:]/); x = p[1]; y = p[2]
            match($0, /#[0-9A-Fa-f]+/); c = substr($0, RSTART, RLENGTH)
            pix[x, y] = c; n[c]++; if (x > w) w = x; if (y > h) h = y
        }
        END {
            for (c in n) if (n[c] > most) { most = n[c]; bg = c }
            inset = 4; width = w + 1 - 2 * inset
            for (y = 0; y <= h; y++) {
                m = 0
                for (x = inset; x < inset + width; x++) m += pix[x, y] != bg
                k = m * 10 >= width * 8 ? "-" : m ? "T" : "."
                if (substr(rows, length(rows)) != k) rows = rows k
            }
            print rows
        }'
}

# dark_pixels IMAGE RECT: how many pixels of the rectangle (image coordinates) are darker than mid-grey.
dark_pixels() {
    local l t w h
    read -r l t w h <<<"$2"
    "$convert" "$1[${w}x${h}+${l}+${t}]" -colorspace Gray -threshold 50% -format '%[fx:round((1-mean)*w*h)]' info:
}

# find_window: the main window, mapped, of the right size, its content painted.
find_window() {
    shown() {
        ! ended || fail "the program exited before it showed its window"
        wid=$(xdotool search --onlyvisible --name '^Velmora$' 2>/dev/null | head -1)
        [[ -n $wid ]]
    }
    poll 15000 shown || fail "no visible window titled Velmora"
    measured() {
        shot initial || return 1
        local size
        size=$(xdotool getwindowgeometry "$wid" | sed -n 's/.*Geometry: *//p')
        width=${size%x*} height=${size#*x}
        # The content's background starts right below the menu bar.
        menu_bar=$("$convert" "$shots/initial.png[1x60+2+0]" -depth 8 txt:- |
            sed -n "s/^0,\([0-9]*\): *($ERASE).*/\1/p" | head -1)
        menu_bar=${menu_bar:-0}
        ((menu_bar > 0 && width == 680 && height == 556 + menu_bar)) && canvas_blank initial
    }
    poll 10000 measured ||
        fail "window $wid is ${width:-?}x${height:-?} with a menu bar of $menu_bar px (want 680 x 556 + menu bar, blank canvas)"
}

# ended: the program has exited (it stays a zombie until waited for).
ended() { [[ ! -e /proc/$pid/stat || $(cut -d' ' -f3 "/proc/$pid/stat") == Z ]]; }

# quits_cleanly MS WHAT: the program ends within MS milliseconds, exit status 0, nothing on stderr.
quits_cleanly() {
    local start
    start=$(now_ms)
    poll "$1" ended || fail "the program still runs ${1} ms after $2"
    echo "$2: the program ended after $(($(now_ms) - start)) ms"
    wait "$pid"
    local status=$?
    pid=""
    ((status == 0)) || fail "exit status $status after $2"
    [[ ! -s $shots/stderr.txt ]] || fail "output on stderr after $2"
}

# close_request WINDOW: what a window manager sends for its close button.
close_request() {
    perl -MX11::Protocol -e '
        my ($w) = @ARGV;
        my $x = X11::Protocol->new;
        my $event = $x->pack_event(name => "ClientMessage", window => $w, format => 32,
            type => $x->atom("WM_PROTOCOLS"), data => pack("L5", $x->atom("WM_DELETE_WINDOW"), 0, 0, 0, 0));
        $x->SendEvent($w, 0, 0, $event);
        $x->GetInputFocus;  # a round trip: the event has left before we exit
    ' "$1"
}

poll 5000 eval 'xdotool getmouselocation >/dev/null 2>&1' || {
    echo "No connection to the virtual X server at $DISPLAY"
    exit $NO_SERVER
}
launch
find_window

# A picture for the documentation: a few seconds of the unstable system in path mode.
if [[ -n $screenshot_out ]]; then
    click "$PATHS" && click "$UNSTABLE"
    sleep 4
    click "$STOP"
    poll 5000 settled picture || fail "the window did not settle after Stop"
    path_dots picture || fail "the picture shows no path-mode run"
    cp "$shots/picture.png" "$screenshot_out"
    echo "Saved $screenshot_out"
    xdotool windowfocus --sync "$wid" && xdotool key ctrl+q
    quits_cleanly 5000 Ctrl+Q
    exit 0
fi

# --- A path-mode run, stopped: dots in the path colours, only the run's controls changed.
click "$PATHS" && click "$UNSTABLE"
started() {
    shot started && ! same_region initial started "$PATHS" && ! same_region initial started "$UNSTABLE"
}
poll 5000 started || fail "Paths and Unstable did not change their looks"
same_region initial started "$STOP" || fail "Stop does not look as before while the run goes"
! same_region initial started "$STABLE" || fail "Stable still looks enabled while the run goes"
sleep 2  # let the run draw for a while
click "$STOP"
stopped() { settled stopped && ! same_region started stopped "$STOP"; }
poll 5000 stopped || fail "the window did not settle after Stop with Stop disabled"
path_dots stopped || fail "the canvas after a path-mode run is not path dots on the erase colour (stopped.png)"
same_region initial stopped "$STABLE" || fail "Stable does not look enabled again after Stop"
same_region initial stopped "$UNSTABLE" || fail "Unstable does not look enabled again after Stop"
! same_region initial stopped "$YEARS" || fail "the years label did not change during the run"

# Outside the canvas only the run buttons and the years label may differ between
# the screenshots right after the start and after the stop: mask those, compare the rest.
mask() {
    local args=() rect l t w h
    for rect in "$CANVAS" "$STABLE" "$UNSTABLE" "$STOP" "$YEARS_AREA"; do
        read -r l t w h <<<"$rect"
        args+=(-draw "rectangle $l,$((menu_bar + t)) $((l + w - 1)),$((menu_bar + t + h - 1))")
    done
    "$convert" "$shots/$1.png" -fill black "${args[@]}" "$shots/$1.masked.png" && taken+=("$shots/$1.masked.png")
}
mask started && mask stopped
changed=$("$compare" -metric AE "$shots/started.masked.png" "$shots/stopped.masked.png" "$shots/outside.diff.png" 2>&1)
taken+=("$shots/outside.diff.png")
[[ $changed == 0 ]] ||
    fail "$changed pixels outside the canvas, the run buttons and the years label changed during the run" \
        "(started.masked.png, stopped.masked.png, outside.diff.png)"

# --- Scale + wipes the canvas.
click "$SCALE_UP"
poll 5000 eval 'shot scaled && canvas_blank scaled' || fail "Scale + did not wipe the canvas (scaled.png)"

# --- An animation-mode run shows the three star pictures.
click "$ANIMATION" && click "$STABLE"
poll 10000 eval 'shot stars && star_hues stars >"$shots/stars.txt"' ||
    fail "no three star pictures in the canvas: $(cat "$shots/stars.txt") (stars.png)"
click "$STOP"

# --- Escape that closes a menu leaves a run going; Escape pressed in the window ends it.
click "$STABLE"
poll 5000 years_change || fail "the years do not grow in a run of Stable (years.a.png, years.b.png)"
shot running
read -r edit_x edit_y <<<"$EDIT_TITLE"
open_menu menu-edit xdotool mousemove --window "$wid" "$edit_x" $((menu_bar + edit_y)) click 1 ||
    fail "a click on Edit opened no menu"
# As drawn: the frame, a separator, "Clear", a separator, "About Velmora", the frame.
edit_rows=$(rows_of menu-edit)
[[ $edit_rows == "-.-.T.-.T.-" ]] ||
    fail "the Edit menu draws its rows as $edit_rows, not as separator, Clear, separator, About (menu-edit.png)"
xdotool key Escape
poll 2000 popup_gone || fail "Escape did not close the Edit menu"
poll 3000 years_change || fail "Escape that closed the Edit menu ended the run (years.a.png, years.b.png)"
xdotool windowfocus --sync "$wid"
open_menu menu-file xdotool key alt+f || fail "Alt+F opened no menu"
[[ $(rows_of menu-file) == "-.T.-" ]] || fail "the File menu draws its rows as $(rows_of menu-file), not Quit alone (menu-file.png)"
xdotool key Escape
poll 2000 popup_gone || fail "Escape did not close the File menu"
poll 3000 years_change || fail "Escape that closed the File menu ended the run (years.a.png, years.b.png)"
click "$DT_FIELD" && xdotool key Escape
poll 3000 years_stay || fail "Escape in the time step field did not end the run (years.a.png, years.b.png, years.c.png)"
click "$STOP"

# --- The years at their longest, the Integer bounds, reached with a time step of 1e9 or
# -1e9: whole and beside the canvas. In path mode every canvas pixel is the erase colour
# or a path colour, so any pixel of the years' text on the canvas shows.
click "$PATHS"
for dt in 1e9 -1e9; do
    type_dt "$dt" && click "$STABLE"
    poll 5000 years_change || fail "the years do not grow with a time step of $dt"
    poll 20000 years_stay || fail "the years do not reach their bound with a time step of $dt"
    shot "years$dt"
    path_dots "years$dt" any >/dev/null ||
        fail "something other than path dots is on the canvas at the longest years (years$dt.png)"
    ink=$(dark_pixels "$shots/years$dt.png" "6 $((menu_bar + 402)) 100 41")
    ((ink > 100)) || fail "the years at their longest show $ink dark pixels beside the canvas (years$dt.png)"
    click "$STOP"
done

# --- A time step of -1e999 spoils its own run only: a run at 50 after it draws, in
# either mode.
for mode in PATHS ANIMATION; do
    click "${!mode}"
    type_dt -1e999 && click "$UNSTABLE"
    poll 5000 eval 'shot bad && ! same_region initial bad "$UNSTABLE"' || fail "Unstable started no run at -1e999"
    sleep 0.5
    click "$STOP"
    type_dt 50 && click "$UNSTABLE"
    if [[ $mode == PATHS ]]; then
        poll 5000 eval 'shot after-bad && path_dots after-bad >"$shots/after-bad.txt"' ||
            fail "a path run at 50 after one at -1e999 draws no paths: $(cat "$shots/after-bad.txt") (after-bad.png)"
    else
        poll 10000 eval 'shot after-bad && star_hues after-bad >"$shots/after-bad.txt"' ||
            fail "an animation at 50 after a run at -1e999 shows no stars: $(cat "$shots/after-bad.txt") (after-bad.png)"
    fi
    click "$STOP"
done

# --- The about window, from the keyboard: Alt+E, then its one enabled item.
xdotool windowfocus --sync "$wid"
windows=$(xdotool search --onlyvisible --name '' 2>/dev/null | wc -l)
xdotool key alt+e
poll 5000 eval '(($(xdotool search --onlyvisible --name "" 2>/dev/null | wc -l) > windows))' ||
    fail "Alt+E opened no menu"
xdotool key Down Return
about=$(timeout 10 xdotool search --sync --onlyvisible --name '^About Velmora$' 2>/dev/null | head -1)
[[ -n $about ]] || fail "Edit > About Velmora opened no window titled About Velmora"
about_shown() {
    import -window "$about" "$shots/about.png" 2>>"$shots/import.txt" &&
        [[ $("$convert" "$shots/about.png" -format '%w x %h %[fx:int(255*p{5,5}.r)],%[fx:int(255*p{5,5}.g)],%[fx:int(255*p{5,5}.b)]' info:) == "530 x 402 255,255,255" ]]
}
taken+=("$shots/about.png")
poll 5000 about_shown || fail "the about window is not 530 x 402 and white (about.png)"
ink=$(dark_pixels "$shots/about.png" "$ABOUT_LAST_LINE")
((ink > 50)) || fail "the fourth line of the about window's third paragraph is cut off: $ink dark pixels (about.png)"
xdotool mousemove --window "$about" 500 390 click 1
poll 5000 eval '! xdotool search --onlyvisible --name "^About Velmora$" >/dev/null 2>&1' ||
    fail "a click in the about window did not close it"

# --- Ctrl+Q during a run ends the program at once and cleanly.
click "$STABLE"
poll 5000 eval 'shot quitting && ! same_region initial quitting "$STABLE"' || fail "Stable started no run"
xdotool windowfocus --sync "$wid" && xdotool key ctrl+q
quits_cleanly 2000 "Ctrl+Q during a run"

# --- The window manager's close request during a run ends it cleanly too.
perl -MX11::Protocol -e 1 2>/dev/null ||
    fail "perl's X11::Protocol (Debian package libx11-protocol-perl) is needed to send a close request"
launch
find_window
click "$UNSTABLE"
poll 5000 eval 'shot closing && ! same_region initial closing "$UNSTABLE"' || fail "Unstable started no run"
close_request "$wid" || fail "could not send the close request"
quits_cleanly 5000 "a close request during a run"

echo "PASS: real window ($shots)"
