#!/usr/bin/env bash
# Developer tool: runs the desktop program on the example site under a virtual X display,
# drives it from the keyboard as a user would (files chosen through the dialogs, a run, the
# progress, about and trouble windows, the driver editor and the reload dialog, the output
# display with its dialogs and exports, the ensemble window, the calibration window on the twin
# experiment stopped, restarted and resumed) and saves a screenshot of each stage.
#
#   scripts/screenshots.sh [BUILD_DIR]      screenshots go to BUILD_DIR/screenshots/
#
# Installs the Debian packages it needs (xvfb, xdotool, x11-utils, imagemagick, openbox,
# poppler-utils, librsvg2-bin) when they are missing.
set -euo pipefail

build_dir=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")/.." && pwd)
program=$build_dir/src/app/kvsorv
shots=$build_dir/screenshots
work=$build_dir/screenshot-run

# The tools of this script, installed from Debian when missing (openbox draws window frames).
extra=()
for p in xvfb xdotool x11-utils imagemagick openbox poppler-utils librsvg2-bin; do
  dpkg-query -W -f='${Status}' "$p" 2> /dev/null | grep -q "install ok installed" || extra+=("$p")
done
if [ ${#extra[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${extra[@]}"
fi
[ -x "$program" ] || { echo "build the program first: $program" >&2; exit 1; }

# A free display number.
display_number=90
while [ -e "/tmp/.X11-unix/X$display_number" ] || [ -e "/tmp/.X$display_number-lock" ]; do
  display_number=$((display_number + 1))
done
export DISPLAY=:$display_number
unset WAYLAND_DISPLAY

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null || true; done
  wait 2> /dev/null || true
}
trap cleanup EXIT

Xvfb "$DISPLAY" -screen 0 1600x1000x24 -nolisten tcp > /dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do xdotool getdisplaygeometry > /dev/null 2>&1 && break; sleep 0.1; done
if command -v openbox > /dev/null; then
  openbox > /dev/null 2>&1 &
  pids+=($!)
  sleep 1
fi

rm -rf "$shots" "$work"
mkdir -p "$shots" "$work/failing"
cp "$here"/examples/cell1.par "$here"/examples/cell1.drr "$here"/examples/cell1b.drr "$work"/
# The uncalibrated site, for calibrating through the steady-state window.
cp "$here"/examples/cell1-start.par "$work"/calib.par
# A driver file whose climate turns impossible in 1601: a run over that year fails.
cp "$here"/examples/cell1b.drr "$work"/failing/
{
  head -n 3 "$here"/examples/cell1.drr
  printf '1601 350 45 45 18 1.1 0.8 180 150 1\r\n'
} > "$work"/failing/cell1.drr
cd "$work"

# Waits for a window with exactly this title (at most $2 tenths of a second, 100 unless given)
# and prints its id.
wait_window() {
  for _ in $(seq "${2:-100}"); do
    local id
    id=$(xdotool search --onlyvisible --name "^$1\$" 2> /dev/null | head -n 1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  echo "no window '$1'" >&2
  return 1
}
wait_gone() {
  for _ in $(seq 300); do
    xdotool search --onlyvisible --name "^$1\$" > /dev/null 2>&1 || return 0
    sleep 0.1
  done
  echo "window '$1' did not close" >&2
  return 1
}
# Screenshot of a window with its frame (the window manager's frame extents, if any).
shot() {
  local name=$1 id=$2 left=0 right=0 top=0 bottom=0 extents
  sleep 0.4
  local info X Y WIDTH HEIGHT
  info=$(xwininfo -id "$id")
  X=$(sed -n 's/.*Absolute upper-left X: *//p' <<< "$info")
  Y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<< "$info")
  WIDTH=$(sed -n 's/.*Width: *//p' <<< "$info")
  HEIGHT=$(sed -n 's/.*Height: *//p' <<< "$info")
  extents=$(xprop -id "$id" _NET_FRAME_EXTENTS 2> /dev/null | sed -n 's/.*= *//p' | tr -d ' ')
  if [ -n "$extents" ]; then IFS=, read -r left right top bottom <<< "$extents"; fi
  local x=$((X - left)) y=$((Y - top))
  [ "$x" -ge 0 ] || x=0
  [ "$y" -ge 0 ] || y=0
  import -window root -crop "$((WIDTH + left + right))x$((HEIGHT + top + bottom))+$x+$y" +repage \
    "$shots/$name.png"
  echo "$shots/$name.png"
}
keys() {
  xdotool key --delay 60 "$@"
  sleep 0.3
}
type_text() {
  xdotool type --delay 20 "$1"
  sleep 0.2
}
activate() {
  xdotool windowactivate --sync "$1" 2> /dev/null || xdotool windowfocus --sync "$1"
  sleep 0.2
}
# A file dialog: type the name into its file name field and confirm.
answer_dialog() {
  local id
  id=$(wait_window "$1")
  [ -n "${3:-}" ] && shot "$3" "$id"
  activate "$id"
  keys ctrl+a
  type_text "$2"
  keys Return
  wait_gone "$1"
}

"$program" > "$work/kvsorv.log" 2>&1 &
pids+=($!)
main=$(wait_window "KVS ORV")
activate "$main"
shot 01-main-at-start "$main"

# Files > Parameter File > Choose..., Files > Driver File > Choose..., Files > Output File.
keys alt+f p c
answer_dialog "Choose Parameter File" "$work/cell1.par" 02-choose-parameter-file
activate "$main"
# The driver file through a click on its field's label.
xdotool mousemove --window "$main" 40 75 click 1
answer_dialog "Open Driver File" "$work/cell1.drr"
activate "$main"
keys alt+f o
answer_dialog "Save Output File as" "$work/cell1.out"
activate "$main"

# Stop time 2000 (Alt+T focuses the field), then on to the time step field and out again.
keys alt+t ctrl+a
type_text 2000
keys Tab Tab
shot 03-main-ready-to-run "$main"
# The steady-state window before any run: the light is red and says why.
keys alt+c s
calculate=$(wait_window "Calculate Steady State - Enter values for all underlined items")
question=$(wait_window "Confirm")
keys alt+n
activate "$calculate"
shot 03b-steady-state-before-any-run "$calculate"
keys alt+o
wait_gone "Calculate Steady State - Enter values for all underlined items"
activate "$main"

keys alt+r
sleep 1
wait_gone "KVS ORV run progress."
shot 04-main-after-run "$main"
keys alt+o
shot 05-output-menu-after-run "$main"
keys Escape

# A longer run with a small time step, to see the progress window while it moves. The
# output file exists now: the overwrite question comes first.
activate "$main"
keys alt+u ctrl+a
type_text "$work/cell1-fine.out"
keys Tab
keys alt+m ctrl+a
type_text 0.002
keys Tab
keys alt+r
progress=$(wait_window "KVS ORV run progress.")
sleep 1.5
shot 06-progress "$progress"
import -window root "$shots/07-screen-during-run.png"
echo "$shots/07-screen-during-run.png"
wait_gone "KVS ORV run progress."

# The about window.
activate "$main"
keys alt+a
about=$(wait_window "About KVS ORV")
shot 08-about "$about"
keys Escape
wait_gone "About KVS ORV"

# A run that fails: the trouble window. Choosing cell1.out again asks before overwriting.
activate "$main"
keys alt+d ctrl+a
type_text "$work/failing/cell1.drr"
keys Tab
keys alt+u ctrl+a
type_text "$work/cell1.out"
keys Tab
question=$(wait_window "Confirm")
shot 09-overwrite-question "$question"
keys Return
activate "$main"
keys alt+s ctrl+a
type_text 1599
keys Tab alt+t ctrl+a
type_text 1605
keys Tab alt+m ctrl+a
type_text 1
keys Tab
keys alt+r
trouble=$(wait_window "FmTrouble")
shot 10-trouble "$trouble"
keys Return
wait_gone "FmTrouble"
activate "$main"
shot 11-main-after-failed-run "$main"

# The driver editor (Files > Driver File > Edit): switch it back to the example's driver
# file with its Choose button, add a record at the end and save the text as a new file.
activate "$main"
keys alt+f d e
note=$(wait_window "Driver Variables - $work/failing/cell1.drr")
activate "$note"
keys alt+h
answer_dialog "Open Driver File" "$work/cell1.drr"
note=$(wait_window "Driver Variables - $work/cell1.drr")
activate "$note"
shot 12-driver-editor "$note"
keys ctrl+End Return
type_text "2100                 370                  22.5                 10                   18                   1.1                  0.8                  180                  150                  1"
keys Home
shot 13-driver-editor-edited "$note"
keys alt+s
answer_dialog "Save Driver File as" "$work/cell1-edited.drr" 14-save-driver-file
wait_gone "Driver Variables - $work/cell1.drr"
activate "$main"
shot 15-main-after-driver-edit "$main"

# The reload dialog (Reload button): the parameter values only.
keys alt+l
reload=$(wait_window "Dialog")
activate "$reload"
shot 16-reload "$reload"
xprop -id "$reload" _MOTIF_WM_HINTS WM_NORMAL_HINTS _NET_WM_WINDOW_TYPE _NET_WM_ALLOWED_ACTIONS > "$work/reload-hints.txt" 2>&1 || true
keys Return
wait_gone "Dialog"

# The editors, on the example site's driver file again. The parameter editor shows every page
# at once; a changed parameter (Sc, the last row of Photosynthesis) moves the process values,
# and the process list opens beside the editor and follows each update.
activate "$main"
keys alt+d ctrl+a
type_text "$work/cell1.drr"
keys Tab
activate "$main"
keys alt+e p
params=$(wait_window "Parameters - File: .*cell1.par")
shot 17-parameter-editor "$params"
activate "$params"
keys Down Down Down Down Down Down Down Down Down F2 ctrl+a
type_text 4
keys Return alt+u
question=$(wait_window "Warning")
shot 18-parameter-question "$question"
keys Return
wait_gone "Warning"
shot 19-parameter-editor-updated "$params"
activate "$params"
keys alt+s
list=$(wait_window "Process Variables")
shot 20-process-list "$list"
import -window root "$shots/21-parameter-editor-and-process-list.png"
echo "$shots/21-parameter-editor-and-process-list.png"
activate "$params"
keys ctrl+Tab ctrl+Tab ctrl+Tab
shot 22-parameter-editor-page-4 "$params"
keys alt+o
wait_gone "Parameters - File: .*cell1.par"

# The state editor (Edit > State Variables), with the first state held constant.
activate "$main"
keys alt+e s
states=$(wait_window "State Variables")
activate "$states"
xdotool mousemove --window "$states" 44 74 click 1
sleep 0.3
shot 23-state-editor "$states"
keys alt+o
wait_gone "State Variables"

# Calibration through the steady-state window, after the runs above have set the water
# coefficient of a run: the uncalibrated site, then the three closing entries of
# examples/calibrate.sh (humus N, the NH4 half-saturation constant, total soil carbon), each
# committed with Enter, and the light turns green.
activate "$main"
keys alt+d ctrl+a
type_text "$work/cell1.drr"
keys Tab
keys alt+p ctrl+a
type_text "$work/calib.par"
keys Tab
keys alt+c s
calculate=$(wait_window "Calculate Steady State - Enter values for all underlined items")
question=$(wait_window "Confirm")
keys alt+n
activate "$calculate"
shot 24-steady-state-opened "$calculate"
keys shift+Tab ctrl+a  # from Ps back to humus N
type_text 384.279955771163
keys Return
for _ in $(seq 10); do xdotool key Tab; done  # on through Ps and the photosynthesis box to knh4
keys ctrl+a
type_text 10.822970884842
keys Return
shot 25-steady-state-after-two-entries "$calculate"
for _ in $(seq 36); do xdotool key Tab; done  # on to total soil carbon
keys ctrl+a
type_text 10729.9457
keys Return
shot 26-steady-state-green "$calculate"
keys alt+s  # labels as symbols
shot 27-steady-state-symbols "$calculate"
keys alt+o
wait_gone "Calculate Steady State - Enter values for all underlined items"

# The output display on the run with the small time step (0 to 2000), as a researcher looks at
# it: the file chosen through From File and shown as a table; then as a chart of foliage, wood
# and root carbon (typed into the series list, Space selecting each) as values, relative change
# and cumulative change; the dependent axis made logarithmic in the axis dialog; the series
# dialog of the independent axis; the chart exported as PNG, SVG and PDF and the table as CSV.
fine_display="Model Output - File: $work/cell1-fine.out"
activate "$main"
keys alt+o f
answer_dialog "Open Output File" "$work/cell1-fine.out"
activate "$main"
keys alt+o b
display=$(wait_window "$fine_display")
activate "$display"
shot 28-display-table "$display"
keys alt+d
wait_gone "$fine_display"
activate "$main"
keys alt+o c
display=$(wait_window "$fine_display")
activate "$display"
for name in "Foliage Carbon" "Wood Carbon" "Root Carbon"; do
  type_text "$name"
  sleep 0.5  # past the list's type-ahead: Space now toggles the item found
  keys space
done
keys alt+u
shot 29-display-chart-values "$display"
keys alt+r alt+u
shot 30-display-chart-relative "$display"
keys alt+m alt+u
shot 31-display-chart-cumulative "$display"
keys alt+a alt+u
keys alt+c y s
scale=$(wait_window "Dependent Axis")
activate "$scale"
shot 32-axis-dialog "$scale"
keys alt+g Tab Return  # Logarithmic, applied on leaving the group; OK keeps the range
wait_gone "Dependent Axis"
shot 33-display-chart-logarithmic "$display"
activate "$display"
keys alt+c x d
series=$(wait_window "Independent Axis - Choose one series.")
shot 34-series-dialog "$series"
keys Escape
wait_gone "Independent Axis - Choose one series."
for ext in png svg pdf; do
  activate "$display"
  keys alt+w h
  answer_dialog "Export Chart" "$work/chart.$ext"
done
activate "$display"
keys alt+w t
answer_dialog "Export Table" "$work/table.csv"
activate "$display"
keys alt+d
wait_gone "$fine_display"
# The exported drawings as pictures, to look at beside the window's.
pdftoppm -png -r 96 -singlefile "$work/chart.pdf" "$shots/35-exported-chart-pdf"
rsvg-convert -o "$shots/36-exported-chart-svg.png" "$work/chart.svg"
cp "$work/chart.png" "$shots/37-exported-chart.png"
ls "$shots"/2[89]-* "$shots"/30-*

# The ensemble window: the example plan (Latin hypercube), a run stopped while the envelope
# fills in, resumed to the end with its tornado of rank correlations; then a Sobol design of
# the same plan with its indices and their convergence.
cp "$here"/examples/ensemble.toml "$work"/ensemble.toml
sed 's/^members = .*/members = 100/' "$here"/examples/ensemble.toml > "$work"/ensemble-sobol.toml
# Waits up to two minutes for a window title (a run's end) and prints the window's id.
wait_title() {
  wait_window "$1" 1200
}
activate "$main"
keys alt+n p
ensemble=$(wait_window "Ensemble")
xdotool windowsize "$ensemble" 1260 820 windowmove "$ensemble" 0 0
activate "$ensemble"
keys alt+o
answer_dialog "Open ensemble plan" "$work/ensemble.toml"
activate "$ensemble"
shot 40-ensemble-plan "$ensemble"
keys alt+r
sleep 4
shot 41-ensemble-running "$ensemble"
keys alt+p
wait_title "Ensemble – ensemble.toml" > /dev/null
shot 42-ensemble-stopped "$ensemble"
keys alt+u
wait_title "Ensemble – ensemble.toml" > /dev/null
keys alt+h End
shot 43-ensemble-finished-envelope "$ensemble"
keys alt+t
shot 44-ensemble-tornado "$ensemble"
keys alt+f
shot 44b-ensemble-failures "$ensemble"
# The tornado at the first recorded year, exported with its values.
keys alt+t alt+y Home
shot 44c-ensemble-tornado-first-year "$ensemble"
keys alt+x
answer_dialog "Export chart" "$work/tornado.png"
cp "$work/tornado.png" "$shots/44d-exported-tornado.png"
head -n 3 "$work/tornado-data.csv"
keys alt+o
answer_dialog "Open ensemble plan" "$work/ensemble-sobol.toml"
activate "$ensemble"
keys alt+d S Tab alt+r
sleep 1
wait_title "Ensemble – ensemble-sobol.toml" > /dev/null
shot 45-ensemble-sobol-envelope "$ensemble"
keys alt+i
shot 46-ensemble-sobol-indices "$ensemble"
keys alt+c
shot 47-ensemble-sobol-convergence "$ensemble"
keys alt+h Up
keys alt+i
shot 48-ensemble-sobol-indices-second-output "$ensemble"

# A Morris design stopped half way, the program closed and started again on the plan: the
# window reads the run back from its results file and Resume finishes it.
sed 's/^members = .*/members = 30/' "$here"/examples/ensemble.toml > "$work"/ensemble-morris.toml
activate "$ensemble"
keys alt+o
answer_dialog "Open ensemble plan" "$work/ensemble-morris.toml"
activate "$ensemble"
keys alt+d M Tab
shot 49-ensemble-morris-design "$ensemble"
keys alt+r
sleep 3
keys alt+p
wait_title "Ensemble – ensemble-morris.toml.*" > /dev/null
shot 50-ensemble-morris-stopped "$ensemble"
activate "$main"
keys alt+f x
question=$(wait_window "Confirm" 30 || true)
if [ -n "$question" ]; then
  shot 51-exit-question "$question"
  activate "$question"
  keys alt+n
fi
for _ in $(seq 100); do kill -0 "${pids[-1]}" 2> /dev/null || break; sleep 0.1; done
"$program" --plan "$work/ensemble-morris.toml" > "$work/kvsorv-restarted.log" 2>&1 &
pids+=($!)
ensemble=$(wait_window "Ensemble – ensemble-morris.toml")
xdotool windowsize "$ensemble" 1260 820 windowmove "$ensemble" 0 0
activate "$ensemble"
shot 52-ensemble-reopened-after-restart "$ensemble"
keys alt+u
sleep 1
wait_title "Ensemble – ensemble-morris.toml" > /dev/null
keys alt+n
shot 53-ensemble-morris-resumed "$ensemble"

# The calibration window on the twin experiment: the plan opened from the window, a fit, the
# DE-MCz sampler stopped half way while the trace fills in, the program closed and started
# again, the plan reopened (the window reads the chains back) and the run resumed to its end;
# then every chart, the verdict and the posterior carried into the ensemble window.
mkdir -p "$work/twin"
cp "$here"/examples/twin/plan.toml "$here"/examples/twin/observations.csv "$work/twin/"
# Waits up to five minutes for the calibration window to be idle on the plan.
wait_calibration() {
  wait_window "Calibrate – plan.toml" 3000
}
open_calibration() {
  main=$(wait_window "KVS ORV")
  activate "$main"
  keys alt+b o
  calibrate=$(wait_window "Calibrate")
  xdotool windowsize "$calibrate" 1500 960 windowmove "$calibrate" 0 0
  activate "$calibrate"
  keys alt+o
  answer_dialog "Open calibration plan" "$work/twin/plan.toml"
  calibrate=$(wait_calibration)
  activate "$calibrate"
}
calibration_charts() {
  local prefix=$1
  keys alt+e
  shot "$prefix-trace" "$calibrate"
  keys alt+m
  shot "$prefix-marginal" "$calibrate"
  keys alt+p
  shot "$prefix-pairs" "$calibrate"
  keys alt+i
  shot "$prefix-fit" "$calibrate"
}
open_calibration
shot 60-calibrate-plan "$calibrate"
keys alt+f
sleep 1
calibrate=$(wait_calibration)
shot 61-calibrate-fitted "$calibrate"
keys alt+r
sleep 8
shot 62-calibrate-running "$calibrate"
sleep 6
activate "$calibrate"
keys alt+t
calibrate=$(wait_calibration)
calibration_charts 63-calibrate-stopped
activate "$main"
keys alt+f x
question=$(wait_window "Confirm" 30 || true)
if [ -n "$question" ]; then
  activate "$question"
  keys alt+n
fi
for _ in $(seq 100); do kill -0 "${pids[-1]}" 2> /dev/null || break; sleep 0.1; done
"$program" > "$work/kvsorv-calibration-restarted.log" 2>&1 &
pids+=($!)
open_calibration
shot 64-calibrate-reopened-after-restart "$calibrate"
keys alt+u
sleep 2
calibrate=$(wait_calibration)
calibration_charts 65-calibrate-resumed
keys alt+l
ensemble=$(wait_window "Ensemble – plan.posterior.toml")
xdotool windowsize "$ensemble" 1260 820 windowmove "$ensemble" 0 0
shot 66-posterior-in-ensemble-window "$ensemble"

echo "The driver file saved from the editor: $work/cell1-edited.drr"
echo "Output of the run with the small time step: $work/cell1-fine.out"
echo "Its chart and table as exported from the output display: $work/chart.{png,svg,pdf}, $work/table.csv"
echo "Its first lines:"
head -n 4 "$work/cell1-fine.out" | cut -c1-120
