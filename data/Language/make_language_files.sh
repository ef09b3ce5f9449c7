#!/usr/bin/env bash
# Rebuilds each shipped language file (UTF-16LE with its byte-order mark and
# CR LF line breaks, as the profile functions want it) from its readable
# UTF-8 copy beside it: English.ini.utf8 -> English.ini.
set -euo pipefail
cd "$(dirname "$0")"
for source in *.ini.utf8; do
  target="${source%.utf8}"
  { printf '\xff\xfe'; sed 's/$/\r/' "$source" | iconv -f UTF-8 -t UTF-16LE; } > "$target.tmp"
  mv "$target.tmp" "$target"
done
