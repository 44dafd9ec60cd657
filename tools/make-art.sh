#!/bin/bash
# make-art.sh OUT_DIR: makes the bitmaps, icons and the cursor of the resource
# script from the SVG sources in src/res/art. Needs rsvg-convert (librsvg2-bin),
# ImageMagick's convert and python3.
#
# Bitmaps are 24-bit uncompressed BMPs. Where the code treats one colour as
# transparent (the skin's green outside, the title buttons' key colour, the
# marks' black), the SVG leaves that part transparent; the picture is then
# cut with a hard mask from its alpha channel: inside the mask the picture is
# blended onto the colour it will be seen on, outside it is exactly the key
# colour, so no blended pixel of a key colour remains. Each result is checked.
set -euo pipefail
[ $# = 1 ] || { echo "usage: $0 OUT_DIR" >&2; exit 2; }
here=$(cd "$(dirname "$0")/.." && pwd)
art=$here/src/res/art
out=$1
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

fail() { echo "make-art: $*" >&2; exit 1; }

# Colours shared with the SVG sources.
NAVY='#0F2744'        # title band and navigation column
EDGE='#0A1B30'        # the window's outer edge
ROW='#ECEFF3'         # a light list row, what the marks' edges blend into
GREEN='#00FF00'       # outside the window's shape
TITLEKEY='#3C3E7C'    # transparent colour of the title buttons, RGB(60, 62, 124)
BLACK='#000000'       # transparent colour of the marks

# raster SVG PNG [W H]
raster() {
  if [ $# -ge 4 ]; then
    rsvg-convert -w "$3" -h "$4" -o "$2" "$1"
  else
    rsvg-convert -o "$2" "$1"
  fi
}

# bmp24 IN OUT: 24-bit uncompressed BMP.
bmp24() {
  convert "$1" -alpha off -type TrueColor BMP3:"$2"
  local bits
  bits=$(od -An -tu2 -j28 -N2 "$2" | tr -d ' ')
  [ "$bits" = 24 ] || fail "$2 has $bits bits per pixel"
}

# keyed IN.png KEY BLEND THRESHOLD OUT.png: pixels whose alpha is above
# THRESHOLD (percent) become the picture blended onto BLEND, all others KEY.
keyed() {
  local in=$1 key=$2 blend=$3 thr=$4 outp=$5 wh
  wh=$(convert "$in" -format '%wx%h' info:)
  convert "$in" -background "$blend" -alpha remove -alpha off "$tmp/flat.png"
  convert "$in" -alpha extract -threshold "$thr%" "$tmp/mask.png"
  convert -size "$wh" "xc:$key" "$tmp/flat.png" "$tmp/mask.png" -composite -alpha off "$outp"
  # The key colour must be exactly where the mask is clear: no blended key
  # pixels at the edges and no key pixels inside the picture.
  local keys clear
  keys=$(convert "$outp" -fill white +opaque "$key" -fill black -opaque "$key" -format '%[fx:round((1-mean)*w*h)]' info:)
  clear=$(convert "$tmp/mask.png" -negate -format '%[fx:round(mean*w*h)]' info:)
  [ "$keys" = "$clear" ] || fail "$outp: $keys pixels of $key, $clear expected"
}

# pixel IMG X Y: the colour as #RRGGBB.
pixel() { convert "$1" -format "%[hex:p{$2,$3}]" info: | cut -c1-6 | sed 's/^/#/'; }

# size IMG W H
size_is() {
  local s
  s=$(convert "$1" -format '%wx%h' info:)
  [ "$s" = "$2x$3" ] || fail "$1 is $s, not $2x$3"
}

# --- skin 129: outside the rounded window pure green
raster "$art/skin.svg" "$tmp/skin.png"
keyed "$tmp/skin.png" "$GREEN" "$EDGE" 50 "$tmp/skin-keyed.png"
size_is "$tmp/skin-keyed.png" 745 545
for xy in "0 0" "744 0" "0 544" "744 544"; do
  # shellcheck disable=SC2086
  [ "$(pixel "$tmp/skin-keyed.png" $xy)" = "#00FF00" ] || fail "skin corner $xy is not green"
done
bmp24 "$tmp/skin-keyed.png" "$out/skin.bmp"

# --- navigation buttons: sheet of 3 states x 5 buttons, 130 x 43 each
raster "$art/nav.svg" "$tmp/nav.png"
size_is "$tmp/nav.png" 390 215
row=0
for name in clean control items cookies plugins; do
  col=0
  for state in normal hover selected; do
    convert "$tmp/nav.png" -crop "130x43+$((col * 130))+$((row * 43))" +repage \
      -background "$NAVY" -alpha remove "$tmp/nav-$name-$state.png"
    bmp24 "$tmp/nav-$name-$state.png" "$out/nav-$name-$state.bmp"
    col=$((col + 1))
  done
  row=$((row + 1))
done

# --- title buttons: help, minimize, exit; 65 x 20 on the key colour
raster "$art/titlebuttons.svg" "$tmp/title.png"
keyed "$tmp/title.png" "$TITLEKEY" "$NAVY" 4 "$tmp/title-keyed.png"
col=0
for name in help minimize exit; do
  convert "$tmp/title-keyed.png" -crop "65x20+$((col * 65))+0" +repage "$tmp/title-$name.png"
  size_is "$tmp/title-$name.png" 65 20
  [ "$(pixel "$tmp/title-$name.png" 0 0)" = "#3C3E7C" ] || fail "title button $name: corner is not the key colour"
  bmp24 "$tmp/title-$name.png" "$out/title-$name.bmp"
  col=$((col + 1))
done

# --- the setup program's side picture (not a resource: the setup script
# takes it from here), 164 x 314
raster "$art/setup-side.svg" "$tmp/setup-side.png"
size_is "$tmp/setup-side.png" 164 314
bmp24 "$tmp/setup-side.png" "$out/setup-side.bmp"

# --- home picture 186
raster "$art/home.svg" "$tmp/home.png"
size_is "$tmp/home.png" 573 425
convert "$tmp/home.png" -background "$NAVY" -alpha remove "$tmp/home-flat.png"
bmp24 "$tmp/home-flat.png" "$out/home.bmp"

# --- authorization popup 2: 234 x 223, drawn 1:1. The code writes black
# text onto the title and question places and puts the buttons on their
# plates: the question's place must be plain white (the controls' brush) and
# the title's light throughout.
raster "$art/authorization.svg" "$tmp/auth.png"
size_is "$tmp/auth.png" 234 223
convert "$tmp/auth.png" -background "$NAVY" -alpha remove -alpha off "$tmp/authorization.png"
# darkest RECT: the lowest grey level (0..1) inside a WxH+X+Y rectangle.
darkest() { convert "$tmp/authorization.png" -crop "$1" +repage -colorspace Gray -format '%[fx:minima]' info:; }
[ "$(darkest 207x88+14+75)" = 1 ] || fail "authorization: the question's place is not plain white"
python3 -c "import sys; sys.exit(float(sys.argv[1]) < 0.85)" "$(darkest 170x24+47+33)" ||
  fail "authorization: the title's place is not light"
bmp24 "$tmp/authorization.png" "$out/authorization.bmp"

# --- control panel: the tabs' faces (70 x 70, normal and selected) and the
# header (135 x 52), on the panel's white
raster "$art/controlpanel.svg" "$tmp/cp.png"
size_is "$tmp/cp.png" 420 122
col=0
for face in settings-normal settings-selected schedule-normal schedule-selected shield-normal shield-selected; do
  convert "$tmp/cp.png" -crop "70x70+$((col * 70))+0" +repage -background white -alpha remove -alpha off "$tmp/cp-$face.png"
  bmp24 "$tmp/cp-$face.png" "$out/cp-$face.bmp"
  col=$((col + 1))
done
convert "$tmp/cp.png" -crop "135x52+0+70" +repage -background white -alpha remove -alpha off "$tmp/cp-header.png"
size_is "$tmp/cp-header.png" 135 52
bmp24 "$tmp/cp-header.png" "$out/cp-header.bmp"

# --- Choose Items: the tabs' faces (60 x 60, normal and selected) and the
# header (150 x 50), on the panel's white; the group tiles' pictures
# (16 x 16) on their header strip, RGB(223, 229, 234)
raster "$art/chooseitems.svg" "$tmp/ci.png"
size_is "$tmp/ci.png" 480 110
col=0
for face in windows-normal windows-selected browsers-normal browsers-selected messaging-normal messaging-selected \
  plugins-normal plugins-selected; do
  convert "$tmp/ci.png" -crop "60x60+$((col * 60))+0" +repage -background white -alpha remove -alpha off "$tmp/ci-$face.png"
  bmp24 "$tmp/ci-$face.png" "$out/ci-$face.bmp"
  col=$((col + 1))
done
convert "$tmp/ci.png" -crop "150x50+0+60" +repage -background white -alpha remove -alpha off "$tmp/ci-header.png"
size_is "$tmp/ci-header.png" 150 50
bmp24 "$tmp/ci-header.png" "$out/ci-header.bmp"
col=0
for group in windows browser messenger office mail yahoo aim; do
  convert "$tmp/ci.png" -crop "16x16+$((160 + col * 20))+60" +repage -background '#DFE5EA' -alpha remove -alpha off \
    "$tmp/ci-group-$group.png"
  [ "$(pixel "$tmp/ci-group-$group.png" 0 0)" = "#DFE5EA" ] || fail "group picture $group: corner is not the strip colour"
  bmp24 "$tmp/ci-group-$group.png" "$out/ci-group-$group.bmp"
  col=$((col + 1))
done

# --- update dialog 204: 198 x 65; the text's place plain RGB(31, 122, 180),
# the brush the code paints the text's control with
raster "$art/update.svg" "$tmp/update.png"
size_is "$tmp/update.png" 198 65
convert "$tmp/update.png" -background "#1F7AB4" -alpha remove -alpha off "$tmp/update-flat.png"
[ "$(convert "$tmp/update-flat.png" -crop 150x32+44+24 +repage -unique-colors -format '%w' info:)" = 1 ] ||
  fail "update: the text's place is not plain blue"
[ "$(pixel "$tmp/update-flat.png" 100 40)" = "#1F7AB4" ] || fail "update: the text's place is not RGB(31, 122, 180)"
bmp24 "$tmp/update-flat.png" "$out/update.bmp"

# --- marks 153 (pending) and 154 (done): 16 x 16 on black
raster "$art/marks.svg" "$tmp/marks.png"
keyed "$tmp/marks.png" "$BLACK" "$ROW" 30 "$tmp/marks-keyed.png"
col=0
for name in pending done; do
  convert "$tmp/marks-keyed.png" -crop "16x16+$((col * 16))+0" +repage "$tmp/mark-$name.png"
  size_is "$tmp/mark-$name.png" 16 16
  bmp24 "$tmp/mark-$name.png" "$out/mark-$name.bmp"
  col=$((col + 1))
done

# --- icons: 16 and 32 pixels (the application also 48), 32-bit with alpha
for name in app folder registry recycle internet cookie plugin drive folder-closed file; do
  sizes="16 32"
  [ "$name" = app ] && sizes="16 32 48"
  pngs=()
  for s in $sizes; do
    raster "$art/icon-$name.svg" "$tmp/icon-$name-$s.png" "$s" "$s"
    pngs+=("$tmp/icon-$name-$s.png")
  done
  python3 "$here/tools/make-cur.py" ico "$out/$name.ico" "${pngs[@]}"
done

# --- hand cursor 132: 32 x 32, hot spot at the tip of the index finger
raster "$art/cursor-hand.svg" "$tmp/hand.png" 32 32
python3 "$here/tools/make-cur.py" cur "$out/hand.cur" 11 1 "$tmp/hand.png"

# Previews for people: the PNGs of this run, kept beside the resources.
mkdir -p "$out/preview"
cp "$tmp"/skin-keyed.png "$tmp"/nav-*.png "$tmp"/title-*.png "$tmp"/home-flat.png \
   "$tmp"/authorization.png "$tmp"/mark-*.png "$tmp"/icon-*.png "$tmp"/hand.png "$tmp"/ci-*.png "$out/preview/"
touch "$out/art.stamp"
