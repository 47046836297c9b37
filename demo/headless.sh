#!/usr/bin/env bash
# The demo without a display: runs inside xvfb-run, clicks the map and saves a screenshot.
set -euo pipefail
tree=$1
build=$2
shot="$tree/マイデータ/demo-screenshot.png"

"$build/demo/mirevale-host" &
host=$!
trap 'kill $host $tool 2>/dev/null || true' EXIT
sleep 1
(cd "$tree/MV6_DATA/20" && exec ./mirevale-map) &
tool=$!

# The tool's window, as mapped now: the toolkit may replace the first X window it creates while
# the page's browser starts, so it is looked up again before it is used.
# The panel and the map are X windows of their own inside it, under the same name: the largest
# one is the tool's window.
find_window() {
    local best="" area=0 w size
    for w in $(xdotool search --sync --onlyvisible --pid "$tool" --name '^d_Mirevale6 MAP$'); do
        size=$(xdotool getwindowgeometry "$w" | awk '/Geometry/ {split($2, s, "x"); print s[1] * s[2]}')
        if [ "${size:-0}" -gt "$area" ]; then best=$w; area=$size; fi
    done
    echo "$best"
}
find_window >/dev/null
sleep 6  # the map page and its script settle
window=$(find_window)
read -r wx wy < <(xdotool getwindowgeometry "$window" | awk '/Position/ {split($2, p, ","); print p[1], p[2]}')
# Spots on the map (left of the 448-pixel side panel), from the foot up towards the summit.
for spot in "120 600" "200 520" "260 450" "300 400" "330 370" "380 330" "450 300"; do
    set -- $spot
    xdotool mousemove $((wx + $1)) $((wy + $2)) click 1
    sleep 1.5
done
xdotool mousemove $((wx + 760)) $((wy + 240))  # hover the chart
sleep 1
"$build/demo/mirevale-snap" "$(find_window)" "$shot"
echo "screenshot: $shot"
