#!/usr/bin/env bash
# Runs the performance benchmarks one after another on this machine, each
# printing its ratios against their goals: the preview's frames while
# something moves, the idle editor (both sets), opening the editor and a
# set, and the editor's memory. Needs a built tree (scripts/test.sh --quick
# or scripts/run.sh builds one); takes about ten minutes on two cores.
#   scripts/performance.sh [WORK_FOLDER]
set -uo pipefail
cd "$(dirname "$0")/.."
bin=build/bin
for program in preview_drag_bench idle_cpu_bench editor_open_bench set_open_bench editor_memory_bench; do
  [ -x "$bin/$program" ] || { echo "$bin/$program is not built" >&2; exit 2; }
done
source scripts/xvfb.sh
source scripts/testhome.sh
trap 'kelvane_remove_test_home; kill ${KELVANE_XVFB_PID:-} 2>/dev/null || true' EXIT
work=${1:-$KELVANE_TEST_TMP/bench}
mkdir -p "$work"
quiet() { "$@" 2>/dev/null; }
status=0
echo "== machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg), $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "== preview while something moves";   quiet "$bin/preview_drag_bench" "$work/drag" 5 || status=1
echo "== idle editor, 8 layers 1080p";     quiet "$bin/idle_cpu_bench" "$work/idle" 10 || status=1
echo "== idle editor, 16 layers 2160p";    quiet "$bin/idle_cpu_bench" "$work/idle-large" 10 large || status=1
echo "== editor window to first frame";    quiet "$bin/editor_open_bench" "$work/open" || status=1
echo "== opening sets";                    quiet "$bin/set_open_bench" "$work/sets" || status=1
echo "== memory";                          quiet "$bin/editor_memory_bench" "$work/memory" || status=1
exit $status
