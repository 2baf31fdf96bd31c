#!/usr/bin/env bash
# Starts the viewer on the demo project. Filled in as the viewer and the plan server land.
set -euo pipefail
cd "$(dirname "$0")/.."
echo "demo: the viewer is not assembled yet; build/bin/sheetwise is the current executable"
