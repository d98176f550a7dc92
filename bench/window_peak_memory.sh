#!/bin/sh
# Peak memory of the real window under Xvfb with KJV in pane 1 and WEB in pane 2: starts Kantelo
# on copies of the two bibles, types their names into the two selectors with xdotool as a user
# would, and reads the high-water mark of the resident set (VmHWM of /proc/PID/status) after
# each step. Needs xvfb-run, xdotool and the window's default layout.
#
#   bench/window_peak_memory.sh build/src/app/kantelo demo/drive_c/Lumora/HolyBibles
set -eu

if [ "${1:-}" != "--inside" ]; then
    exe=$(realpath "$1")
    folder=$(realpath "$2")
    drive=$(mktemp -d)
    trap 'rm -rf "$drive"' EXIT
    mkdir -p "$drive/Lumora/HolyBibles"
    cp "$folder/KJV.mdb" "$folder/WEB.mdb" "$drive/Lumora/HolyBibles/"
    chmod u+w "$drive"/Lumora/HolyBibles/*.mdb
    xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inside "$exe" "$drive"
    exit
fi

exe="$2"
drive="$3"
KANTELO_DRIVE_C="$drive" KANTELO_BACKUP_DIR="$drive/backups" "$exe" 2>/dev/null &
pid=$!
win=""
for _ in $(seq 50); do
    win=$(xdotool search --name '^Kantelo$' 2>/dev/null | head -1) || true
    [ -n "$win" ] && break
    sleep 0.2
done
[ -n "$win" ] || { echo "the window did not appear" >&2; kill "$pid"; exit 1; }
sleep 1
peak() { printf '%-32s %s\n' "$1" "$(grep VmHWM "/proc/$pid/status" | tr -s ' \t' ' ')"; }
peak "the window alone"
# The selectors of bible version 1 and 2, below the menu bar (window coordinates).
choose() {
    xdotool mousemove --window "$win" 150 "$1" click 1
    sleep 0.3
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 50 "$2"
    sleep 3
}
choose 60 KJV
peak "KJV in pane 1"
choose 89 WEB
peak "KJV in pane 1, WEB in pane 2"
# Both files must be open by now, or a selector was missed and the figures mean nothing.
for name in KJV.mdb WEB.mdb; do
    ls -l "/proc/$pid/fd" | grep -q "/$name\$" || echo "$name is not open: the figures are not valid" >&2
done
# Close: the button at the bottom right (the window compacts the copies and ends).
xdotool mousemove --window "$win" 877 654 click 1
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.3
done
kill "$pid" 2>/dev/null || true
