#!/bin/bash
# Checks the shipped lists (data/spotlist.xml, data/pluginlist.xml): well formed,
# complete, and safe to clean with. Then makes sure the checker still rejects
# deliberately broken copies of them (made in memory, nothing is written).
set -euo pipefail
cd "$(dirname "$0")/../.."
if ! command -v python3 >/dev/null 2>&1; then
  echo "check-lists: python3 is needed to check the shipped lists" >&2
  exit 1
fi
python3 tools/check-lists.py data/spotlist.xml data/pluginlist.xml
python3 tools/check-lists.py --self-test data/spotlist.xml data/pluginlist.xml
