# Sourced by the sanitizer and fuzz stages: every report ends the program
# with a failure, and the only suppressions are those in this folder.
KELVANE_SANITIZER_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=${KELVANE_SANITIZER_DIR}/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=${KELVANE_SANITIZER_DIR}/ubsan.supp"
