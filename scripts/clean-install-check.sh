#!/usr/bin/env bash
# Installs the Kelvane package on a clean Debian 12 and tries it there, the way
# a user's machine that never built it gets it. Run by hand (as root; it needs
# network access to a Debian mirror and a few minutes), not by CI.
#
#   scripts/clean-install-check.sh [--deb FILE.deb] [--root FOLDER] [--mirror URL] [--keep]
#
# 1. debootstrap makes a minimal Debian 12 ("bookworm") system in FOLDER from
#    Debian's own packages (nothing of this machine is copied in);
# 2. apt installs the .deb there, pulling its dependencies from the mirror;
# 3. under an Xvfb inside that system it runs `kelvane-cli engine`,
#    `kelvane-cli render` of the installed sample studio, and the editor,
#    which must show its window.
# The results (the engine's JSON, the rendered picture, a screenshot of the
# editor, the list of what apt installed) are copied to FOLDER.results/.
set -euo pipefail
cd "$(dirname "$0")/.."

deb="" root=/var/tmp/kelvane-clean-install mirror=http://deb.debian.org/debian keep=0
while [ $# -gt 0 ]; do
  case $1 in
    --deb) deb=$2; shift 2 ;;
    --root) root=$2; shift 2 ;;
    --mirror) mirror=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    *) echo "usage: scripts/clean-install-check.sh [--deb FILE.deb] [--root FOLDER] [--mirror URL] [--keep]" >&2; exit 2 ;;
  esac
done
[ "$(id -u)" -eq 0 ] || { echo "clean-install-check: run as root (debootstrap and chroot need it)" >&2; exit 2; }
for tool in debootstrap chroot convert; do
  command -v "$tool" >/dev/null || { echo "clean-install-check: needs $tool (apt-get install debootstrap imagemagick)" >&2; exit 2; }
done
if [ -z "$deb" ]; then
  build=${KELVANE_BUILD_DIR:-build}
  echo "== packaging $build"
  (cd "$build" && cpack -G DEB >/dev/null)
  deb=$(ls -t "$build"/kelvane_*.deb | head -1)
fi
deb=$(realpath "$deb")
results=$root.results
rm -rf "$results" && mkdir -p "$results"
log() { echo "== $*" | tee -a "$results/summary.txt"; }

mounted=() started=()
# Removes the chroot only when nothing is mounted inside it any more, and never
# across into another file system.
remove_root() {
  if grep -q " $root/" /proc/mounts; then
    echo "clean-install-check: $root still has mounts; left in place" >&2
  else
    rm -rf --one-file-system "$root"
  fi
}
cleanup() {
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" 2>/dev/null || true; done
  [ $keep -eq 1 ] || remove_root
}
trap cleanup EXIT
mount_in() {  # TYPE SOURCE TARGET [OPTIONS]
  mkdir -p "$3"
  mount -t "$1" ${4:+-o "$4"} "$2" "$3"
  mounted+=("$3")
}

if [ ! -x "$root/usr/bin/apt-get" ]; then
  log "debootstrap bookworm from $mirror into $root"
  remove_root
  debootstrap --variant=minbase bookworm "$root" "$mirror" >"$results/debootstrap.log" 2>&1 \
    || { tail -20 "$results/debootstrap.log" >&2; exit 1; }
fi
mount_in proc proc "$root/proc"
mount_in sysfs sys "$root/sys"
mount_in devtmpfs udev "$root/dev"
mount_in devpts devpts "$root/dev/pts" gid=5,mode=620
mount_in tmpfs shm "$root/dev/shm"
cp /etc/resolv.conf "$root/etc/resolv.conf"
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }

# A system kept from an earlier run (--keep) goes back to what debootstrap made.
if in_root dpkg-query -W kelvane >/dev/null 2>&1; then
  log "removing the package an earlier run installed"
  in_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q --autoremove kelvane xvfb xauth x11-utils x11-apps \
    >"$results/apt-purge.log" 2>&1
fi
cp "$deb" "$root/tmp/"
package=/tmp/$(basename "$deb")
in_root dpkg-query -W -f='${Package}\n' | sort >"$results/packages-before.txt"
log "apt install $(basename "$deb") in the clean system"
in_root apt-get update -q >"$results/apt-update.log" 2>&1
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$package" >"$results/apt-install.log" 2>&1 \
  || { tail -30 "$results/apt-install.log" >&2; exit 1; }
in_root dpkg-query -W -f='${Package}\n' | sort >"$results/packages-after.txt"
comm -13 "$results/packages-before.txt" "$results/packages-after.txt" >"$results/installed-with-kelvane.txt"
log "$(wc -l <"$results/installed-with-kelvane.txt") packages installed with it (installed-with-kelvane.txt)"
# The X server and the tools to look at it are for this check, not the package's.
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends xvfb xauth x11-utils x11-apps \
  >"$results/apt-test-tools.log" 2>&1 || { tail -30 "$results/apt-test-tools.log" >&2; exit 1; }

# A user of the clean system, with a home of their own.
in_root useradd --create-home --shell /bin/bash viewer 2>/dev/null || true
as_user() { chroot --userspec=viewer:viewer "$root" /usr/bin/env -i PATH=/usr/bin:/bin HOME=/home/viewer USER=viewer \
  LANG=C.UTF-8 DISPLAY=:42 "$@"; }
chroot --userspec=viewer:viewer "$root" /usr/bin/Xvfb :42 -screen 0 1920x1080x24 -nolisten tcp >"$results/xvfb.log" 2>&1 &
xvfb=$!
started+=($xvfb)
for _ in $(seq 50); do [ -e "$root/tmp/.X11-unix/X42" ] && break; sleep 0.2; done

status=0
log "kelvane-cli --version: $(as_user kelvane-cli --version)"
if as_user kelvane-cli engine >"$results/engine.json" 2>"$results/engine.log"; then
  log "kelvane-cli engine: exit 0, $(grep -o '"[a-z_]*_filter"' "$results/engine.json" | wc -l) filter types, uvmap_filter $(grep -q '"uvmap_filter"' "$results/engine.json" && echo present || echo MISSING)"
  grep -q '"uvmap_filter"' "$results/engine.json" || status=1
else
  log "kelvane-cli engine: FAILED ($(tail -1 "$results/engine.log"))"; status=1
fi
if as_user kelvane-cli render "/usr/share/kelvane/samples/Sample Studio" /tmp/studio.bmp 2>"$results/render.log"; then
  cp "$root/tmp/studio.bmp" "$results/studio.bmp"
  convert "$results/studio.bmp" "$results/studio.png"
  colours=$(identify -format '%k' "$results/studio.png")
  log "kelvane-cli render of the sample studio: exit 0, $(identify -format '%wx%h' "$results/studio.png"), $colours colours (studio.png)"
  # The sample studio is a picture of many colours; one colour means its layers did not load.
  if [ "$colours" -lt 100 ]; then
    log "  the picture is empty: $(grep -m1 -i 'failed\|cannot' "$results/render.log" || echo 'no reason logged')"; status=1
  fi
else
  log "kelvane-cli render: FAILED ($(tail -1 "$results/render.log"))"; status=1
fi

as_user kelvane >"$results/editor.log" 2>&1 &
editor=$!
started+=($editor)
window=""
for _ in $(seq 120); do
  # The main window, not the toolkit's 1x1 helper windows of the same name.
  window=$(as_user xwininfo -root -tree 2>/dev/null | grep '"Zantrel' | grep -v ' 1x1+' | head -1 || true)
  [ -n "$window" ] && break
  sleep 0.5
done
sleep 5  # the library and the preview fill in
as_user xwd -root -silent >"$results/editor.xwd" 2>/dev/null && convert "xwd:$results/editor.xwd" "$results/editor.png" || true
rm -f "$results/editor.xwd"
if [ -n "$window" ] && kill -0 $editor 2>/dev/null; then
  log "kelvane under Xvfb: window shown: $(echo "$window" | sed 's/^ *//') (editor.png)"
else
  log "kelvane under Xvfb: NO WINDOW (editor.log: $(tail -1 "$results/editor.log"))"; status=1
fi
kill $editor 2>/dev/null || true
wait $editor 2>/dev/null || true
kill $xvfb 2>/dev/null || true
wait $xvfb 2>/dev/null || true
log "result: $([ $status -eq 0 ] && echo passed || echo FAILED); details in $results"
exit $status
