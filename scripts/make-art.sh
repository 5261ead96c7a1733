#!/usr/bin/env bash
# Builds the program's pictures under res/art/ from freely licensed icon sets
# and our own drawings in tools/art/. Run it once after changing the art; the
# results are committed, so the build does not need any of these tools.
#
# Needs: famfamfam-silk, tango-icon-theme, librsvg2-bin, imagemagick,
#        fonts-dejavu-core, python3.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
tools=$root/tools/art
out=$root/res/art
silk=/usr/share/icons/silk/16x16
tango=/usr/share/icons/Tango
for need in "$silk/folder.png" "$tango/32x32/places/folder.png"; do
  [ -f "$need" ] || { echo "missing $need (apt-get install famfamfam-silk tango-icon-theme)" >&2; exit 1; }
done
command -v rsvg-convert >/dev/null || { echo "missing rsvg-convert (apt-get install librsvg2-bin)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

svg() {  # svg SRC.svg OUT.png [SIZE]
  if [ -n "${3:-}" ]; then rsvg-convert -w "$3" -h "$3" "$1" -o "$2"; else rsvg-convert "$1" -o "$2"; fi
}
png32() {  # normalise to 32-bit RGBA PNG of the given size
  convert "$1" -background none -gravity center -extent "$2x$2" -define png:color-type=6 "PNG32:$3"
}
emblem() {  # emblem BASE.png EMBLEM.png SIZE OUT.png: emblem in the lower right corner
  convert "$1" \( "$2" -resize "$3x$3" \) -gravity southeast -geometry +0+0 -composite "PNG32:$4"
}
strip() {  # strip SIZE OUT.bmp PNG...: a horizontal image-list strip as a 32-bit BMP
  local size=$1 bmp=$2; shift 2
  convert "$@" +append -depth 8 "rgba:$work/strip.rgba"
  python3 "$tools/rgba2bmp.py" $((size * $#)) "$size" "$work/strip.rgba" "$bmp"
}
bitmap() {  # bitmap IN.png OUT.bmp: one 32-bit BMP
  local size
  size=$(identify -format '%w %h' "$1")
  convert "$1" -depth 8 "rgba:$work/one.rgba"
  python3 "$tools/rgba2bmp.py" $size "$work/one.rgba" "$2"
}

# --- our own drawings -------------------------------------------------------
svg "$tools/bug16.svg" "$work/bug16.png" 16
for s in 24 32 33 48 144; do svg "$tools/bug.svg" "$work/bug$s.png" "$s"; done
svg "$tools/crosshair.svg" "$work/crosshair.png"
svg "$tools/pin.svg" "$work/pin.png"
svg "$tools/binary.svg" "$work/binary.png"

# --- 16x16 pictures ---------------------------------------------------------
s16() { png32 "$silk/$1.png" 16 "$work/s_$1.png"; echo "$work/s_$1.png"; }
# A screen showing a chart.
convert "$silk/monitor.png" \( "$silk/chart_curve.png" -resize 9x9 \) -geometry +3+2 -composite PNG32:"$work/monitor_chart.png"
# An arrow before a stack of pages.
convert "$silk/page_white_stack.png" \( "$silk/resultset_next.png" -resize 12x12 \) -gravity west -geometry -3+2 -composite PNG32:"$work/stack_arrow.png"
# A message with a left arrow: the right-arrow message, mirrored.
convert "$silk/email_go.png" -flop PNG32:"$work/email_back.png"
# A flag with a pencil.
emblem "$silk/flag_red.png" "$silk/pencil.png" 10 "$work/flag_pencil.png"
# A blue cube and green blocks, recoloured from the white brick.
convert "$silk/brick.png" -colorspace gray -fill '#2f6fd6' -tint 100 PNG32:"$work/cube_blue.png"
convert "$silk/bricks.png" -colorspace gray -fill '#3aa53a' -tint 100 PNG32:"$work/blocks_green.png"
# A red tick for the clipboard.
convert "$silk/tick.png" -modulate 100,150,33 PNG32:"$work/tick_red.png"
emblem "$silk/paste_plain.png" "$work/tick_red.png" 11 "$work/clip_tick16.png"
folder16() { emblem "$silk/folder.png" "$1" 10 "$work/f16_$2.png"; echo "$work/f16_$2.png"; }

# DebugImages: group icons 0-3 and the kind icons of the debug list.
debug=(
  "$(s16 page_white)"        # 0  general: blank page
  "$(s16 note)"              # 1  information: a note
  "$(s16 error)"             # 2  warning: yellow triangle
  "$(s16 cancel)"            # 3  error: red disc with a white cross
  "$(s16 page_white_edit)"   # 4  string: page with a pen
  "$(s16 page_refresh)"      # 5  note: page with arrows
  "$(s16 page_white_text)"   # 6
  "$work/monitor_chart.png"  # 7  system info: screen with a chart
  "$work/bug16.png"          # 8
  "$(s16 cross)"             # 9  exception: red cross
  "$(s16 tick)"              # 10
  "$(s16 email_go)"          # 11 procedure enter: message, right arrow
  "$(s16 comment)"           # 12
  "$(s16 clock)"             # 13
  "$work/stack_arrow.png"    # 14 string list: arrow before a stack of pages
  "$(s16 lightning)"         # 15
  "$(s16 database)"          # 16
  "$(s16 key)"               # 17
  "$(s16 wrench)"            # 18
  "$(s16 world)"             # 19
  "$(s16 link)"              # 20
  "$work/email_back.png"     # 21 procedure exit: message, left arrow
  "$work/crosshair.png"      # 22 point: cross-hair
  "$(s16 shape_handles)"     # 23 rectangle: corner handles
  "$(s16 color_swatch)"      # 24 colour: coloured squares
  "$(s16 cursor)"            # 25 cursor: mouse pointer
  "$work/pin.png"            # 26 reminder: red pin
  "$work/flag_pencil.png"    # 27 checkpoint: flag with a pencil
  "$work/binary.png"         # 28 memory dump: ones and zeros
  "$(s16 bricks)"            # 29 component, object: coloured shapes
  "$work/cube_blue.png"      # 30 property: blue cube
  "$work/blocks_green.png"   # 31 unknown: green blocks
)
[ ${#debug[@]} -eq 32 ] || { echo "DebugImages needs 32 pictures" >&2; exit 1; }
strip 16 "$out/debug_images.bmp" "${debug[@]}"

# Side bar, 16x16: the section button (1), the frame's tool glyphs (9, 10, 14,
# 30-32) and the filter glyphs (33-37); the rest repeat the list's pictures.
small=("${debug[@]:0:30}")
small[0]=$work/bug16.png
small[1]=$(s16 page_edit)                       # papers with a pen
small[9]=$(s16 folder_wrench)                   # data panel
small[10]=$(s16 folder_magnify)                 # billboard
small[14]=$(folder16 "$silk/cog.png" cog)       # info pad
small+=(
  "$work/clip_tick16.png"                       # 30 delete: clipboard with a red tick
  "$(folder16 "$silk/hourglass.png" hourglass)" # 31 pause
  "$(folder16 "$silk/tag_blue.png" tag)"        # 32 viewer: folder with a label
  "$(s16 folder_star)"                          # 33 all groups
  "$(s16 folder_page_white)"                    # 34 general
  "$(folder16 "$silk/note.png" note)"           # 35 information
  "$(s16 folder_error)"                         # 36 warning
  "$(folder16 "$silk/cancel.png" cancel)"       # 37 error
)
[ ${#small[@]} -eq 38 ] || { echo "small side images: ${#small[@]}, need 38" >&2; exit 1; }
strip 16 "$out/side_small.bmp" "${small[@]}"

# --- 32x32 pictures ---------------------------------------------------------
t32() { png32 "$tango/32x32/$1.png" 32 "$work/t_${1//\//_}.png"; echo "$work/t_${1//\//_}.png"; }
# A golden folder, to match the small folders.
convert "$tango/32x32/places/folder.png" -colorspace gray -fill '#f2c54a' -tint 100 PNG32:"$work/folder32.png"
folder32() { emblem "$work/folder32.png" "$1" 16 "$work/f32_$2.png"; echo "$work/f32_$2.png"; }
big16() { convert "$1" -filter point -resize 32x32 PNG32:"$work/big_$2.png"; echo "$work/big_$2.png"; }
emblem "$tango/32x32/actions/edit-paste.png" "$work/tick_red.png" 16 "$work/clip_tick32.png"

large=(
  "$work/bug32.png"                               # 0
  "$(t32 apps/accessories-text-editor)"           # 1  close: papers with a pen
  "$(t32 status/dialog-warning)"                  # 2
  "$(t32 status/dialog-error)"                    # 3
  "$(t32 mimetypes/x-office-document)"            # 4
  "$(t32 actions/document-properties)"            # 5
  "$(t32 mimetypes/text-x-generic)"               # 6
  "$(t32 apps/utilities-system-monitor)"          # 7
  "$work/bug32.png"                               # 8
  "$(folder32 "$silk/wrench.png" wrench)"         # 9  data panel: folder with a hammer
  "$(folder32 "$silk/magnifier.png" magnifier)"   # 10 billboard: folder with a magnifier
  "$(t32 actions/mail-forward)"                   # 11
  "$(t32 apps/internet-group-chat)"               # 12
  "$(t32 actions/appointment)"                    # 13
  "$(folder32 "$silk/cog.png" cog)"               # 14 info pad: folder with a gear
  "$(big16 "$silk/lightning.png" lightning)"      # 15
  "$(big16 "$silk/database.png" database)"        # 16
  "$(big16 "$silk/key.png" key)"                  # 17
  "$(big16 "$silk/wrench.png" wrench)"            # 18
  "$(t32 categories/applications-internet)"       # 19
  "$(big16 "$silk/link.png" link)"                # 20
  "$(t32 actions/mail-reply-sender)"              # 21
  "$(big16 "$work/crosshair.png" crosshair)"      # 22
  "$(big16 "$silk/shape_handles.png" handles)"    # 23
  "$(t32 apps/preferences-desktop-theme)"         # 24
  "$(t32 devices/input-mouse)"                    # 25
  "$(big16 "$work/pin.png" pin)"                  # 26
  "$(big16 "$work/flag_pencil.png" flag)"         # 27
  "$(big16 "$work/binary.png" binary)"            # 28
  "$(t32 categories/applications-other)"          # 29
  "$work/clip_tick32.png"                         # 30 delete: clipboard with a red tick
  "$(folder32 "$silk/hourglass.png" hourglass)"   # 31 pause: folder with an hourglass
  "$(folder32 "$silk/tag_blue.png" tag)"          # 32 viewer: folder with a label
  "$(folder32 "$silk/star.png" star)"             # 33 all groups: folder with a star
  "$(folder32 "$silk/page_white.png" page)"       # 34 general: folder with a blank page
  "$(folder32 "$silk/note.png" note)"             # 35 information: folder with a note
  "$(folder32 "$silk/error.png" warning)"         # 36 warning: folder with a yellow triangle
  "$(folder32 "$silk/cancel.png" cancel)"         # 37 error: folder with a red disc
)
[ ${#large[@]} -eq 38 ] || { echo "large side images: ${#large[@]}, need 38" >&2; exit 1; }
strip 32 "$out/side_large.bmp" "${large[@]}"

# Export types, in the order of TvxExportType: a document with a labelled badge.
xtype() {  # xtype NAME TANGO-ICON COLOUR LABEL
  cp "$tango/32x32/$2.png" "$work/xt_base_$1.png"
  local fit=""
  [ ${#4} -gt 3 ] && fit='textLength="19" lengthAdjust="spacingAndGlyphs"'
  cat > "$work/xt_$1.svg" <<EOF
<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" width="32" height="32" viewBox="0 0 32 32">
<image x="0" y="0" width="32" height="32" xlink:href="xt_base_$1.png"/>
<rect x="9.5" y="19.5" width="22" height="11" rx="2" fill="$3" stroke="#ffffff" stroke-width="1"/>
<text x="20.5" y="28.2" text-anchor="middle" $fit font-family="DejaVu Sans Condensed" font-weight="bold" font-size="8.5" fill="#ffffff">$4</text>
</svg>
EOF
  svg "$work/xt_$1.svg" "$work/xt_$1.png"
  bitmap "$work/xt_$1.png" "$out/xt_$1.bmp"
}
xtype html mimetypes/text-html '#d0552a' HTML
xtype excel mimetypes/x-office-spreadsheet '#2e8b3a' XLS
xtype word mimetypes/x-office-document '#2a5db0' DOC
xtype txt mimetypes/text-x-generic '#6b6b6b' TXT
xtype csv mimetypes/text-x-generic '#3a8a7a' CSV
xtype tab mimetypes/text-x-generic '#7a5ab0' TAB
xtype rtf mimetypes/x-office-document '#b03a6a' RTF
xtype dif mimetypes/x-office-spreadsheet '#a07a1a' DIF
xtype sylk mimetypes/x-office-spreadsheet '#1a7aa0' SLK
png32 "$tango/32x32/actions/edit-paste.png" 32 "$work/xt_clipboard.png"
bitmap "$work/xt_clipboard.png" "$out/xt_clipboard.bmp"

# --- program icon, splash picture, about animation ---------------------------
convert "$work/bug16.png" "$work/bug24.png" "$work/bug32.png" "$work/bug48.png" "$out/vxDebugger.ico"

cp "$work/bug144.png" "$work/splash_bug.png"
sed "s#BUG_PNG#splash_bug.png#" "$tools/splash.svg" > "$work/splash.svg"
svg "$work/splash.svg" "$work/splash.png"
convert "$work/splash.png" -strip -sampling-factor 4:4:4 -quality 92 "$out/splash.jpg"

mkdir -p "$work/frames"
cp "$work/bug33.png" "$work/frames/bug.png"
python3 "$tools/about_frames.py" bug.png "$work/frames"
for f in "$work"/frames/frame*.svg; do svg "$f" "${f%.svg}.png"; done
# Whole frames (no partial-frame optimisation): simplest for every GIF decoder.
convert -delay 45 -loop 0 "$work"/frames/frame*.png -strip "$out/about.gif"

ls -l "$out"
