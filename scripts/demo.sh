#!/usr/bin/env bash
# Shows the viewer on a demo project: generates the sample sheets, serves them from a local plan
# server (throttled a little so the download progress shows), and opens the viewer on a host-call
# document that sets up the project as a plan-room page would.
#
# With a display ($DISPLAY or $WAYLAND_DISPLAY) the viewer window opens and the script waits until
# it is closed. Without one the viewer runs offscreen, loads the first sheet and writes a
# screenshot of the whole window to demo.png in the repository root. The plan server is stopped
# in every case.
set -euo pipefail
cd "$(dirname "$0")/.."
root_dir=$(pwd)

build_dir=${BUILD_DIR:-build}
bin="$build_dir/bin"
demo="$build_dir/demo"
project_number=2004-0815
site_name=demo
throttle_bytes_per_second=${DEMO_THROTTLE:-100000}
screenshot="$root_dir/demo.png"

for program in sheetwise make-sample-sheets planserver; do
  if [ ! -x "$bin/$program" ]; then
    echo "demo: $bin/$program is missing; build first (make build)" >&2
    exit 1
  fi
done

rm -rf "$demo"
mkdir -p "$demo/config"
demo=$(cd "$demo" && pwd)
"$bin/make-sample-sheets" "$demo/root" --project "$project_number" --second-revision A-102
plans_dir="$demo/root/${project_number%%-*}/${project_number#*-}/plans"
plan_list=$(<"$plans_dir/planlist.txt")

# The header entry is "<number> <project name>"; the first sheet is the next entry,
# "<group>,<sheet name>,<file>".
IFS='~' read -r -a entries <<<"$plan_list"
header=${entries[0]}
project_name=${header#* }
IFS=',' read -r _ first_name first_file <<<"${entries[1]}"

server_log="$demo/planserver.log"
"$bin/planserver" --root "$demo/root" --port 0 --throttle "$throttle_bytes_per_second" \
  >"$server_log" 2>&1 &
server_pid=$!
stop_server() {
  if kill -0 "$server_pid" 2>/dev/null; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
}
trap stop_server EXIT
trap 'exit 130' INT TERM

base_url=""
for _ in $(seq 1 100); do
  base_url=$(sed -n 's|^planserver listening on \(http://[^ ]*/\)$|\1|p' "$server_log" | head -n 1)
  [ -n "$base_url" ] && break
  if ! kill -0 "$server_pid" 2>/dev/null; then
    break
  fi
  sleep 0.1
done
if [ -z "$base_url" ]; then
  echo "demo: the plan server did not start:" >&2
  cat "$server_log" >&2
  exit 1
fi
echo "demo: plan server at $base_url serving $plans_dir"
echo "demo: plan-room page at ${base_url}planroom/$project_number (its links open the viewer once sheetwise --register has run)"

json_text() {
  local s=$1
  s=${s//\\/\\\\}
  s=${s//\"/\\\"}
  printf '"%s"' "$s"
}

calls="$demo/demo-calls.json"
cat >"$calls" <<EOF
{"calls": [
  ["InitVars", $(json_text "$base_url"), $(json_text "$project_number"), $(json_text "$project_name"), 0, $(json_text "$site_name")],
  ["MakePlanList", $(json_text "$plan_list")],
  ["SetFirstImage", $(json_text "$first_file"), $(json_text "$first_name")]
]}
EOF

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "demo: opening the viewer on $project_name; close the window to end the demo"
  "$bin/sheetwise" "$calls" >/dev/null
else
  echo "demo: no display; running the viewer offscreen for a screenshot"
  if [ -z "${QT_QPA_FONTDIR:-}" ] && [ -d /usr/share/fonts/truetype/dejavu ]; then
    export QT_QPA_FONTDIR=/usr/share/fonts/truetype/dejavu
  fi
  # Settings of this run stay in the demo folder, not in the user's configuration.
  QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$demo/config" \
    "$bin/sheetwise" --screenshot "$screenshot" "$calls" >/dev/null
  echo "demo: screenshot of the viewer written to $screenshot"
fi
