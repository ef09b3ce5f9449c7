#!/usr/bin/env bash
# What tells a user about kelvane-cli keeps up with the program: every command
# and option it accepts is in its manual page and completes in bash, and both
# manual pages render without a warning.
# usage: cli_documents_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source_dir=$2
cli=$build/bin/kelvane-cli
fail() { echo "FAIL: $*" >&2; exit 1; }

# Renders a page as man-db does for a reader and as lintian checks it.
for page in "$build"/man/kelvane.1 "$build"/man/kelvane-cli.1; do
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$(basename "$page") renders with warnings: $warnings"
  text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" 2>/dev/null | col -b)
  grep -q '^EXIT STATUS' <<<"$text" || fail "$(basename "$page") has no EXIT STATUS section"
done
manual=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$build/man/kelvane-cli.1" 2>/dev/null | col -b)

# Completion as bash asks for it: the words so far, the cursor in the last.
# shellcheck disable=SC1091
source "$source_dir/data/completion/kelvane-cli"
complete_words() {
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  _kelvane_cli
  printf '%s\n' "${COMPREPLY[@]}"
}

commands=$("$cli" --help | sed -n 's/^  \([a-z][a-z-]*\).*/\1/p')
[ "$(echo "$commands" | wc -l)" -ge 10 ] || fail "kelvane-cli --help lists too few commands: $commands"
offered=$(complete_words kelvane-cli '')
for command in $commands; do
  grep -qx "$command" <<<"$offered" || fail "bash does not complete the command $command"
  grep -q "^       $command\b" <<<"$manual" || fail "kelvane-cli(1) does not describe $command"
  # (Each list is whole before grep reads it: grep -q stops early, and with
  # pipefail the writer's broken pipe would count as a failure.)
  options=$(complete_words kelvane-cli "$command" --)
  described=$(echo "$manual" | grep -A30 "^       $command\b")
  for option in $("$cli" "$command" --help | sed -n 1p | grep -o -- '--[a-z-]*' || true); do
    grep -qx -- "$option" <<<"$options" || fail "bash does not complete $command $option"
    grep -q -- "$option" <<<"$described" || fail "kelvane-cli(1) does not name $command $option"
  done
done

# Values and file names.
[ "$(complete_words kelvane-cli convert-all a b --to '')" = $'vmix\nnative' ] || fail "--to does not offer vmix and native"
[ "$(complete_words kelvane-cli conv)" = $'convert\nconvert-all' ] || fail "conv does not complete to convert and convert-all"
work=$(mktemp -d /tmp/kelvane-completion.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/Sample Studio" "$work/Sets"
touch "$work/Sample notes.txt"
[ "$(complete_words kelvane-cli convert-all "$work/Sam")" = "$work/Sample Studio" ] \
  || fail "convert-all does not complete a folder name with a space, or offers files"
[ "$(complete_words kelvane-cli info "$work/Sample" | sort | tr '\n' '|')" = "$work/Sample Studio|$work/Sample notes.txt|" ] \
  || fail "info does not complete files and folders"
echo "manual pages and completion: ok"
