#!/usr/bin/env bash
# Installs the build into a temporary prefix, moves the prefix (nothing may
# point back into the build), and checks what a desktop needs of it; then
# builds the Debian package and checks its contents and dependencies.
# usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d /tmp/kelvane-install.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/first" >/dev/null
mv "$work/first" "$work/prefix"
prefix=$work/prefix

for f in bin/kelvane bin/kelvane-cli lib/kelvane/liblumora.so lib/kelvane/obs-plugins/uvmap-filter.so \
         share/kelvane/obs-plugins/uvmap-filter/uvmap.effect share/kelvane/Language/English.ini \
         share/icons/hicolor/scalable/apps/kelvane.svg share/icons/hicolor/48x48/apps/kelvane.png \
         share/applications/kelvane.desktop share/mime/packages/kelvane.xml \
         share/man/man1/kelvane.1.gz share/man/man1/kelvane-cli.1.gz \
         share/metainfo/example.kelvane.Kelvane.metainfo.xml share/bash-completion/completions/kelvane-cli; do
  [ -f "$prefix/$f" ] || fail "$f is not installed"
done
ls "$prefix"/share/kelvane/samples/*/scene.tvn >/dev/null 2>&1 || fail "no sample set is installed"
for exe in bin/kelvane bin/kelvane-cli; do
  runpath=$(readelf -d "$prefix/$exe" | sed -n 's/.*R\(UN\)\?PATH.*\[\(.*\)\]/\2/p')
  [ "$runpath" = '$ORIGIN/../lib/kelvane' ] || fail "$exe has the run path '$runpath'"
done

# The installed engine loads the module of the prefix: the build folder's
# copy is hidden for the run, so only the installed one can answer.
mv "$build/bin/obs-plugins" "$build/bin/obs-plugins.hidden"
restore() { mv "$build/bin/obs-plugins.hidden" "$build/bin/obs-plugins"; rm -rf "$work"; }
trap restore EXIT
home=$work/home
mkdir -p "$home"
HOME=$home XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config "$prefix/bin/kelvane-cli" engine \
  >"$work/engine.json" 2>"$work/engine.log" || { cat "$work/engine.log" >&2; fail "installed kelvane-cli engine failed"; }
grep -q '"uvmap_filter"' "$work/engine.json" || fail "uvmap_filter is not among the installed engine's filters"
# The graphics module is opened by name at run time: the file must come from
# a package the editor's package brings, not from a development package.
module=$(sed -n 's/.*"graphicsModule": "\([^"]*\)".*/\1/p' "$work/engine.json")
module_owner=$(dpkg -S "/usr/lib/$(gcc -print-multiarch)/$module" 2>/dev/null | cut -d: -f1)
case $module_owner in
  ""|*-dev) fail "the graphics module '$module' comes from '${module_owner:-no package}', which a user does not have" ;;
esac
mv "$build/bin/obs-plugins.hidden" "$build/bin/obs-plugins"
trap 'rm -rf "$work"' EXIT

desktop-file-validate "$prefix/share/applications/kelvane.desktop" || fail "the desktop entry is not valid"
# Software centres: the metadata and the desktop entry it launches, checked
# together as installed; infos are allowed, warnings and errors are not.
appstreamcli validate-tree --no-net "$prefix" >"$work/appstream.log" 2>&1 || { cat "$work/appstream.log" >&2; fail "the AppStream metadata is not valid"; }
grep -E '^(E|W):' "$work/appstream.log" && fail "the AppStream metadata has warnings"
# The screenshots are the guide's own pictures, published with it.
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
shots=$(grep -o '<image>[^<]*</image>' "$prefix"/share/metainfo/*.metainfo.xml | sed 's#.*/\([^/<]*\)</image>#\1#')
[ -n "$shots" ] || fail "the AppStream metadata shows no screenshots"
for shot in $shots; do
  [ -f "$source_dir/docs/guide/$shot" ] || fail "the screenshot $shot is not a picture of the guide"
done
for page in kelvane kelvane-cli; do
  MANWIDTH=80 man -l "$prefix/share/man/man1/$page.1.gz" 2>/dev/null | grep -q "^NAME" || fail "the installed $page(1) does not render"
done
update-mime-database "$prefix/share/mime" 2>"$work/mime.log" || { cat "$work/mime.log" >&2; fail "the MIME package is not valid"; }
grep -q 'application/x-kelvane-scene:scene.tvn' "$prefix/share/mime/globs2" || fail "scene.tvn is not a Kelvane scene"
grep -q 'application/x-vmix-virtual-set' "$prefix/share/mime/XMLnamespaces" || fail "vMix configs are not recognised"

# The Debian package.
(cd "$build" && cpack -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$work"/package/*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for dependency in libobs0 obs-studio libqt6widgets6 libqt6svg6 qt6-qpa-plugins libcurl4; do
  echo "$depends" | grep -q "$dependency" || fail "the package does not depend on $dependency ($depends)"
done
echo "$depends" | grep -q lumora && fail "the package depends on its own library ($depends)"
echo "$depends" | grep -q "$module_owner" || fail "the package does not bring $module_owner, which holds the graphics module"
contents=$(dpkg-deb -c "$deb")
for f in ./usr/bin/kelvane ./usr/lib/kelvane/liblumora.so ./usr/lib/kelvane/obs-plugins/uvmap-filter.so \
         ./usr/share/applications/kelvane.desktop ./usr/share/man/man1/kelvane.1.gz ./usr/share/man/man1/kelvane-cli.1.gz \
         ./usr/share/metainfo/example.kelvane.Kelvane.metainfo.xml ./usr/share/bash-completion/completions/kelvane-cli \
         ./usr/share/doc/kelvane/copyright ./usr/share/doc/kelvane/changelog.gz; do
  echo "$contents" | grep -q " $f\$" || fail "the package lacks $f"
done
changelog_version=$(dpkg-parsechangelog -l "$prefix/share/doc/kelvane/changelog.gz" -S Version)
[ "$changelog_version" = "$(dpkg-deb -f "$deb" Version)" ] || fail "the changelog is at $changelog_version, the package at $(dpkg-deb -f "$deb" Version)"
# Debian's own package check: no errors (its warnings are listed in docs/packaging.md).
if command -v lintian >/dev/null; then
  lintian --no-tag-display-limit "$deb" >"$work/lintian.log" 2>&1 || true
  grep '^E:' "$work/lintian.log" && fail "lintian reports errors"
else
  echo "lintian is not installed: the package check is skipped" >&2
fi
echo "install and package: ok"
