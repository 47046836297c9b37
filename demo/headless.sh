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

window=$(xdotool search --sync --name '^d_Mirevale6 MAP$' | head -n1)
sleep 6  # the map page and its script settle
read -r wx wy < <(xdotool getwindowgeometry "$window" | awk '/Position/ {split($2, p, ","); print p[1], p[2]}')
# Spots on the map (left of the 448-pixel side panel), from the foot up towards the summit.
for spot in "120 600" "200 520" "260 450" "300 400" "330 370" "380 330" "450 300"; do
    set -- $spot
    xdotool mousemove $((wx + $1)) $((wy + $2)) click 1
    sleep 1.5
done
xdotool mousemove $((wx + 760)) $((wy + 240))  # hover the chart
sleep 1
"$build/demo/mirevale-snap" "$window" "$shot"
echo "screenshot: $shot"
