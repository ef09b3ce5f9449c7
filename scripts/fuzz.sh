#!/usr/bin/env bash
# The fuzz stage: runs every reader of outside data under libFuzzer for a
# fixed time, starting from its corpus in fuzz/<name>/corpus. New inputs go
# to a scratch folder; a crash, leak or time-out fails the run and its input
# is kept in the corpus folder, where the corpus replay tests pick it up.
#   scripts/fuzz.sh [target ...]     (default: every target)
# KELVANE_FUZZ_SECONDS sets the time per target (default 30).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${KELVANE_ASAN_BUILD_DIR:-build-asan}
SECONDS_EACH=${KELVANE_FUZZ_SECONDS:-30}
# target program : corpus folder under fuzz/
TARGETS=(
  fuzz_scene_reader:native
  xml_fuzzer:xml
  vmix_fuzzer:vmix
  ini_fuzzer:ini
  lang_fuzzer:lang
  manifest_fuzzer:manifest
  psd_fuzzer:psd
  fuzz_vmix_open:vmixroad
  fuzz_library_scan:library
  fuzz_journal_reader:journal
)
if [ $# -gt 0 ]; then
  chosen=()
  for entry in "${TARGETS[@]}"; do
    for w in "$@"; do [ "$w" = "${entry%%:*}" ] && chosen+=("$entry"); done
  done
  TARGETS=("${chosen[@]}")
fi

scripts/sanitize.sh --build-only >/dev/null
source scripts/testhome.sh
source scripts/sanitizers/options.sh
LOGS=$(mktemp -d /tmp/kelvane-fuzz-logs.XXXXXX)

# One target: its scratch corpus first (libFuzzer writes new inputs there),
# then the kept corpus, which it only reads. Artifacts land in the corpus.
run_target() {
  local program=$1 corpus="fuzz/$2/corpus" scratch
  scratch=$(mktemp -d "$LOGS/$program.XXXXXX")
  "$BUILD_DIR/bin/$program" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 \
    -max_len=65536 -print_final_stats=1 -artifact_prefix="$corpus/" "$scratch" "$corpus" \
    >"$LOGS/$program.log" 2>&1
}

status=0
pids=()
names=()
running=0
wait_one() {
  local pid=${pids[0]} name=${names[0]}
  pids=("${pids[@]:1}")
  names=("${names[@]:1}")
  if wait "$pid"; then
    echo "fuzz $name: passed ($(grep -o 'stat::number_of_executed_units: [0-9]*' "$LOGS/$name.log" | grep -o '[0-9]*$') runs)"
  else
    status=1
    echo "fuzz $name: FAILED; the input is kept in its corpus folder. Log:" >&2
    grep -v '^#[0-9]*\s' "$LOGS/$name.log" | tail -60 >&2
  fi
}
# As many targets at a time as there are cores.
for entry in "${TARGETS[@]}"; do
  program=${entry%%:*}
  run_target "$program" "${entry#*:}" &
  pids+=($!)
  names+=("$program")
  if [ ${#pids[@]} -ge "$(nproc)" ]; then wait_one; fi
done
while [ ${#pids[@]} -gt 0 ]; do wait_one; done
rm -rf "$LOGS"
kelvane_remove_test_home
exit $status
