# Sourced by the test stages: points HOME and the XDG folders at a fresh
# temporary folder so no test sees the user's own files. The caller removes
# "$KELVANE_TEST_TMP" when it is done; a folder made by an outer script is
# reused.
if [ -z "${KELVANE_TEST_TMP:-}" ]; then
  KELVANE_TEST_TMP=$(mktemp -d /tmp/kelvane-ci-home.XXXXXX)
  KELVANE_TEST_TMP_OWNER=$$
  export KELVANE_TEST_TMP
  export HOME="$KELVANE_TEST_TMP/home" XDG_DATA_HOME="$KELVANE_TEST_TMP/data" \
    XDG_DATA_DIRS="$KELVANE_TEST_TMP/common" XDG_CONFIG_HOME="$KELVANE_TEST_TMP/config"
  mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_DATA_DIRS" "$XDG_CONFIG_HOME"
fi
# Removes the folder if this script made it.
kelvane_remove_test_home() {
  if [ "${KELVANE_TEST_TMP_OWNER:-}" = "$$" ]; then rm -rf "$KELVANE_TEST_TMP"; fi
}
