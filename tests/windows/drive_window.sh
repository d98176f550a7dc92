#!/usr/bin/env bash
# Drives a Windows program's window under Wine as a user would, on the X server of the session
# (run it under xvfb-run). Started with its working folder, WINEPREFIX and WINE set:
#   drive_window.sh OUT PROGRAM.exe TITLE STEP...
# It starts the program (its output in OUT/program.txt), waits for the window titled TITLE and
# performs the steps in order; coordinates are the window's own (its client area: without a
# window manager Wine draws no frame).
#   click X Y | rightclick X Y | key KEYS... | type TEXT | pause SECONDS
#   window NAME           wait for another top-level window (a message box) and stand on it
#   dismiss               press Enter on that window, wait until it is gone, stand on the main one
#   main                  stand on the main window again
#   shot FILE             a screenshot of the screen
#   ended SECONDS         the program must end within SECONDS (prints "exit=N")
# Exit status: 0 done, 2 a window did not appear, 3 the program did not end, 4 no X server.
set -uo pipefail
out=$1 program=$2 title=$3
shift 3

for i in $(seq 1 100); do
  xdotool getdisplaygeometry >/dev/null 2>&1 && break
  sleep 0.1
done
xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "no X server"; exit 4; }

"$WINE" "$program" >"$out/program.txt" 2>&1 &
pid=$!

find_window() { # NAME SECONDS: the id of the first visible window of that name
  local id=""
  for i in $(seq 1 $(($2 * 10))); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 $pid 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

main=$(find_window "$title" 240) || { echo "no window '$title'"; kill $pid 2>/dev/null; exit 2; }
echo "window=$main"
current=$main
sleep 1

while [ $# -gt 0 ]; do
  step=$1; shift
  case "$step" in
    click|rightclick)
      button=1; [ "$step" = rightclick ] && button=3
      xdotool mousemove --window "$current" "$1" "$2" click $button; shift 2 ;;
    key) xdotool key --delay 60 "$1"; shift ;;
    type) xdotool type --delay 60 "$1"; shift ;;
    pause) sleep "$1"; shift ;;
    window)
      current=$(find_window "$1" 60) || { echo "no window '$1'"; kill $pid 2>/dev/null; exit 2; }
      echo "found=$1"; shift; sleep 0.5 ;;
    dismiss)
      xdotool key Return
      for i in $(seq 1 100); do
        xdotool search --onlyvisible --name '.' 2>/dev/null | grep -qx "$current" || break
        sleep 0.1
      done
      current=$main ;;
    main) current=$main ;;
    shot) import -window root "$1"; shift ;;
    ended)
      for i in $(seq 1 $(($1 * 10))); do
        kill -0 $pid 2>/dev/null || break
        sleep 0.1
      done
      if kill -0 $pid 2>/dev/null; then echo "still running"; kill $pid; exit 3; fi
      wait $pid
      echo "exit=$?"
      shift ;;
    *) echo "unknown step $step"; kill $pid 2>/dev/null; exit 5 ;;
  esac
  sleep 0.3
done
exit 0
