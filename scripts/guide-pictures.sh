#!/usr/bin/env bash
# Makes the pictures of the user's guide (docs/guide/*.png) again: builds,
# walks the acceptance roads that show the guide's chapters on a private
# desktop, and copies their screenshots in, scaled to 1280 pixels wide. The
# guide therefore never shows a window that the current code does not draw.
#   scripts/guide-pictures.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
source scripts/xvfb.sh
source scripts/testhome.sh
BUILD_DIR=${KELVANE_BUILD_DIR:-build}
shots="$BUILD_DIR/acceptance-shots"
rm -rf "$shots"
ctest --test-dir "$BUILD_DIR" -L acceptance -R '^(GuideRoad|StartRoad|MenuRoad|SaveRoad|NewOpenRoad)[.]' \
  -j 1 --timeout 300 --repeat until-pass:2 --output-on-failure

# guide picture <- road screenshot
pictures=(
  "window|GuideRoad.TheWindowWithTheSampleStudio-01-window"
  "layers|GuideRoad.TheWindowWithTheSampleStudio-02-layers"
  "first-start|StartRoad.FirstStartShowsTheSampleStudioWhichOpensByDoubleClick-01-first-start"
  "draw-screen|GuideRoad.AScreenPlacedByItsFourCorners-01-draw-screen"
  "live-picture|GuideRoad.ALivePictureInTheScreen-01-live-picture"
  "shots|GuideRoad.ShotsAndTheirTransitions-01-shots"
  "save-menu|MenuRoad.SaveAndOpenMenusShowEveryCommand-01-save-menu"
  "open-menu|MenuRoad.SaveAndOpenMenusShowEveryCommand-02-open-menu"
  "frame-menu|MenuRoad.FrameMenuReachesAboutWhichCloses-01-frame-menu"
  "existing-target|SaveRoad.RenamedSetIsSavedUnderItsNewName-01-existing-target"
  "template-chooser|NewOpenRoad.TemplateChooserClosesAndTheNewSetOpens-01-chooser"
  "psd-set|NewOpenRoad.OpenAPhotoshopFileAsANewSet-01-psd-set"
  "small-window|StartRoad.SmallWindowsScrollThePagesAndNothingOverlaps-02-least-size"
)
status=0
for entry in "${pictures[@]}"; do
  name=${entry%%|*}
  shot="$shots/${entry#*|}.png"
  if [ ! -f "$shot" ]; then
    echo "missing screenshot: $shot" >&2
    status=1
    continue
  fi
  convert "$shot" -resize '1280x>' -strip "docs/guide/$name.png"
done
kelvane_remove_test_home
[ $status -eq 0 ] && echo "docs/guide/: ${#pictures[@]} pictures made" >&2
exit $status
