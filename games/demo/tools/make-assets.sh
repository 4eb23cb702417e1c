#!/usr/bin/env bash
# Draws, speaks and plays every asset of the demo game from scratch: pictures with ImageMagick, voices with
# espeak-ng, music and effects with sox, encoded to Ogg Vorbis with oggenc. Run it from anywhere; it writes into
# the demo folder (the parent of this script's folder). The output is deterministic enough to commit.
set -euo pipefail

DEMO="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ENGINE="${VELLORIA:-$DEMO/../../build/velloria}"
CONVERT="${CONVERT:-convert}"
FONT="DejaVu-Sans"
FONT_BOLD="DejaVu-Sans-Bold"
W=800
H=600
TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT

cd "$DEMO"
mkdir -p pics menus anim sound voice fonts

# Palette PNGs keep the full-screen pictures small; the gradients are smooth enough at 128 colours.
png8() { "$CONVERT" "$1" -dither FloydSteinberg -colors "${3:-128}" "PNG8:$2"; }

# ---------------------------------------------------------------- backgrounds
background_meadow() {
    "$CONVERT" -size ${W}x${H} gradient:'#7ec8f0'-'#e8f6ff' \
        -fill '#fff7b0' -draw 'circle 640,110 640,160' \
        -fill '#ffffff' -draw 'ellipse 180,120 70,22 0,360' -draw 'ellipse 230,105 50,20 0,360' \
        -draw 'ellipse 470,80 60,18 0,360' \
        -fill '#6dbb5a' -draw 'ellipse 200,640 520,230 0,360' \
        -fill '#4f9e45' -draw 'ellipse 700,660 460,250 0,360' \
        -fill '#3d7f38' -draw 'rectangle 0,520 800,600' \
        -fill '#e86a8c' -draw 'circle 120,540 120,546' -draw 'circle 300,560 300,566' -draw 'circle 520,545 520,551' \
        -fill '#f3d34a' -draw 'circle 210,575 210,581' -draw 'circle 660,565 660,571' \
        "$TMP/meadow.png"
    png8 "$TMP/meadow.png" pics/bg_meadow.png
}

background_lake() {
    "$CONVERT" -size ${W}x360 gradient:'#f39c6b'-'#fde3b0' \
        -fill '#ffd27a' -draw 'circle 400,330 400,390' "$TMP/sky.png"
    "$CONVERT" -size ${W}x240 gradient:'#4b77a8'-'#1d3557' \
        -fill '#ffd27a' -draw 'rectangle 360,10 440,14' -draw 'rectangle 330,40 470,43' -draw 'rectangle 380,80 420,82' \
        "$TMP/water.png"
    "$CONVERT" "$TMP/sky.png" "$TMP/water.png" -append \
        -fill '#2b3d2f' -draw 'polygon 0,360 0,250 90,300 170,230 260,310 330,360' \
        -draw 'polygon 500,360 580,270 660,320 730,240 800,290 800,360' \
        "$TMP/lake.png"
    png8 "$TMP/lake.png" pics/bg_lake.png
}

background_night() {
    "$CONVERT" -size ${W}x${H} gradient:'#0b1030'-'#283a6e' \
        -fill '#fffbe0' -draw 'circle 150,110 150,150' -fill '#0f1638' -draw 'circle 168,100 168,138' \
        -fill '#ffffff' \
        -draw 'point 300,60' -draw 'point 420,130' -draw 'point 560,50' -draw 'point 700,140' -draw 'point 620,220' \
        -draw 'circle 480,90 480,92' -draw 'circle 740,70 740,72' -draw 'circle 260,200 260,202' \
        -draw 'circle 360,240 360,241' -draw 'circle 80,260 80,261' \
        -fill '#141c3c' -draw 'ellipse 400,700 600,260 0,360' \
        -fill '#0a0f24' -draw 'rectangle 0,540 800,600' \
        "$TMP/night.png"
    png8 "$TMP/night.png" pics/bg_night.png
}

# ---------------------------------------------------------------- characters
# A figure is a head, hair and a body silhouette on a transparent 220x420 canvas; the talking picture opens the
# mouth, the happy pose curves it and adds cheeks.
figure() { # out body hair mouth cheeks
    local out=$1 body=$2 hair=$3 mouth=$4 cheeks=$5
    local args=(-size 220x420 xc:none
        -fill "$body" -draw 'roundrectangle 40,170 180,420 40,40'
        -fill '#f1c9a5' -draw 'rectangle 96,140 124,180' -draw 'circle 110,100 110,160'
        -fill "$hair" -draw 'ellipse 110,78 66,46 180,360' -draw 'ellipse 110,60 60,30 0,360'
        -fill '#2b2b2b' -draw 'circle 88,100 88,106' -draw 'circle 132,100 132,106')
    case "$mouth" in
        calm) args+=(-stroke '#7a3b2e' -strokewidth 3 -draw 'line 98,132 122,132' -stroke none) ;;
        open) args+=(-fill '#7a3b2e' -draw 'ellipse 110,134 10,8 0,360') ;;
        smile) args+=(-fill none -stroke '#7a3b2e' -strokewidth 3 -draw 'arc 94,118 126,140 20,160' -stroke none) ;;
        laugh) args+=(-fill '#7a3b2e' -draw 'ellipse 110,130 14,10 0,180') ;;
    esac
    [ "$cheeks" = yes ] && args+=(-fill '#f59a9a' -draw 'circle 76,122 76,130' -draw 'circle 144,122 144,130')
    "$CONVERT" "${args[@]}" "$TMP/fig.png"
    png8 "$TMP/fig.png" "$out" 64
}

characters() {
    figure pics/mira_calm.png '#c2416b' '#5a2d1a' calm no
    figure pics/mira_calm_talk.png '#c2416b' '#5a2d1a' open no
    figure pics/mira_happy.png '#c2416b' '#5a2d1a' smile yes
    figure pics/mira_happy_talk.png '#c2416b' '#5a2d1a' laugh yes
    figure pics/tobi_calm.png '#2f6db5' '#1f1f1f' calm no
    figure pics/tobi_calm_talk.png '#2f6db5' '#1f1f1f' open no
    figure pics/tobi_happy.png '#2f6db5' '#1f1f1f' smile yes
    figure pics/tobi_happy_talk.png '#2f6db5' '#1f1f1f' laugh yes
    # Avatars: the head of each pose, framed.
    local who
    for who in mira_calm mira_happy tobi_calm tobi_happy; do
        "$CONVERT" "pics/$who.png" -crop 140x140+40+30 +repage -resize 110x110 \
            \( -size 120x120 xc:'#f6efe0' -fill none -stroke '#8a6d3b' -strokewidth 4 \
               -draw 'roundrectangle 2,2 117,117 12,12' \) +swap -gravity center -composite \
            "$TMP/face.png"
        png8 "$TMP/face.png" "pics/${who}_face.png" 64
    done
}

# ---------------------------------------------------------------- story props
props() {
    # The overlay: a translucent panel behind the text boxes.
    # The speakers' avatars are drawn with the story, under this overlay, so the panel leaves a window on each side,
    # one for each character.
    "$CONVERT" -size 780x160 xc:none -fill '#1b1b2fd0' -stroke '#e8d9a8' -strokewidth 3 \
        -draw 'roundrectangle 2,2 777,157 18,18' \
        \( +clone -alpha extract -fill black -stroke none -draw 'roundrectangle 14,18 137,141 12,12' \
           -draw 'roundrectangle 642,18 765,141 12,12' \) \
        -alpha off -compose copy_opacity -composite -compose over \
        -fill none -stroke '#e8d9a8' -strokewidth 2 -draw 'roundrectangle 13,17 138,142 12,12' \
        -draw 'roundrectangle 641,17 766,142 12,12' pics/hud_panel.png
    # The picture shown while the text waits for a click.
    "$CONVERT" -size 24x24 xc:none -fill '#f3d34a' -draw 'polygon 4,6 20,6 12,18' pics/more.png
    # A paper lantern, zoomed in the lake scene.
    "$CONVERT" -size 120x160 xc:none -fill '#5a3a1a' -draw 'rectangle 56,0 64,20' \
        -fill '#e8553b' -draw 'ellipse 60,90 52,66 0,360' \
        -fill '#ffd27a' -draw 'ellipse 60,90 30,50 0,360' \
        -fill '#5a3a1a' -draw 'rectangle 34,20 86,30' -draw 'rectangle 34,150 86,158' pics/lantern.png
    # The link to the readme in the last scene.
    "$CONVERT" -size 220x40 xc:none -fill '#f6efe0' -stroke '#8a6d3b' -strokewidth 2 \
        -draw 'roundrectangle 1,1 218,38 10,10' -stroke none -fill '#3b2a12' -font "$FONT" -pointsize 17 \
        -gravity center -annotate 0 'Read about the demo' pics/readme_link.png
    "$CONVERT" -size 220x40 xc:none -fill '#f3d34a' -stroke '#8a6d3b' -strokewidth 2 \
        -draw 'roundrectangle 1,1 218,38 10,10' -stroke none -fill '#3b2a12' -font "$FONT_BOLD" -pointsize 17 \
        -gravity center -annotate 0 'Read about the demo' pics/readme_link2.png
    # A butterfly in four wing positions.
    local i wing
    for i in 1 2 3 4; do
        case $i in 1) wing=18 ;; 2) wing=12 ;; 3) wing=5 ;; 4) wing=12 ;; esac
        "$CONVERT" -size 48x40 xc:none -fill '#f39c1b' \
            -draw "ellipse 16,16 $wing,14 0,360" -draw "ellipse 32,16 $wing,14 0,360" \
            -fill '#e86a8c' -draw "ellipse 18,30 $((wing * 2 / 3)),8 0,360" -draw "ellipse 30,30 $((wing * 2 / 3)),8 0,360" \
            -fill '#2b2b2b' -draw 'rectangle 23,8 25,36' "anim/butterfly$i.png"
    done
}

# ---------------------------------------------------------------- menus
# Each menu is a background without buttons; the interface draws its buttons as labels over the nine-slice plates
# below, which stretch to each button's size with their corners kept.
plate() { # out size radius stroke fill
    local out=$1 size=$2 radius=$3 stroke=$4 fill=$5 far=$(($2 - 2))
    "$CONVERT" -size "${size}x${size}" xc:none -fill "$fill" -stroke '#8a6d3b' -strokewidth "$stroke" \
        -draw "roundrectangle 1,1 $far,$far $radius,$radius" "$out"
}

button_plates() {
    plate menus/button.png 48 14 3 '#f6efe0'
    plate menus/button_lit.png 48 14 3 '#f3d34a'
}

main_menu() {
    "$CONVERT" -size ${W}x${H} gradient:'#283a6e'-'#f39c6b' \
        -fill '#1d2a4f' -draw 'ellipse 400,700 620,240 0,360' \
        -fill '#fff7b0' -draw 'circle 700,110 700,150' \
        -fill '#f6efe0' -font "$FONT_BOLD" -pointsize 56 -annotate +60+96 'Lantern Evening' \
        -font "$FONT" -pointsize 20 -annotate +64+128 'a short Velloria demo' "$TMP/main.png"
    png8 "$TMP/main.png" menus/main.png
}

options_menu() {
    "$CONVERT" -size ${W}x${H} gradient:'#1d3557'-'#4b77a8' \
        -fill '#f6efe0' -font "$FONT_BOLD" -pointsize 44 -annotate +60+90 'Options' \
        -font "$FONT" -pointsize 22 \
        -annotate +60+170 'Music' -annotate +60+230 'Voices' -annotate +60+290 'Effects' -annotate +60+350 'All sound' \
        -pointsize 18 -annotate +60+390 'Text speed' -annotate +420+390 'Auto speed' \
        -pointsize 16 -annotate +600+140 'number row' \
        -fill none -stroke '#f6efe0' -strokewidth 2 -draw 'rectangle 507,433 529,455' -draw 'rectangle 507,493 529,515' \
        "$TMP/options.png"
    png8 "$TMP/options.png" menus/options.png
    # The tick in the box beside a switch that is on.
    "$CONVERT" -size 24x24 xc:none -fill none -stroke '#f3d34a' -strokewidth 4 -draw 'polyline 4,12 10,19 20,5' \
        menus/tick.png
    # Slider parts: a box per step over a groove.
    "$CONVERT" -size 26x26 xc:none -fill '#f3d34a' -stroke '#8a6d3b' -strokewidth 2 \
        -draw 'roundrectangle 1,1 24,24 5,5' menus/slider_box.png
    "$CONVERT" -size 336x26 xc:none -fill '#00000060' -draw 'roundrectangle 0,0 335,25 8,8' menus/slider_bg.png
}

pause_menu() {
    "$CONVERT" -size ${W}x${H} xc:none -fill '#101020c0' -draw "rectangle 0,0 $W,$H" \
        -fill '#283a6e' -stroke '#e8d9a8' -strokewidth 3 -draw 'roundrectangle 260,90 540,520 20,20' \
        -stroke none -fill '#f6efe0' -font "$FONT_BOLD" -pointsize 30 -annotate +345+140 'Paused' "$TMP/pause.png"
    png8 "$TMP/pause.png" menus/pause.png
}

# The quick menu over the story: small plates for its text buttons, and the bar shown under Auto and Skip while
# that mode is on.
quick_menu() {
    plate menus/qm_button.png 24 8 2 '#f6efe0'
    plate menus/qm_button_lit.png 24 8 2 '#f3d34a'
    "$CONVERT" -size 64x4 xc:'#f3d34a' menus/qm_on.png
}

choice_menu() {
    "$CONVERT" -size ${W}x${H} xc:none -fill '#101020a0' -draw "rectangle 0,0 $W,$H" \
        -fill '#283a6e' -stroke '#e8d9a8' -strokewidth 3 -draw 'roundrectangle 280,170 520,430 20,20' \
        -stroke none -fill '#f6efe0' -font "$FONT_BOLD" -pointsize 22 -annotate +330+205 'This save:' \
        "$TMP/choice.png"
    png8 "$TMP/choice.png" menus/choice.png
}

galleries() {
    "$CONVERT" -size ${W}x${H} gradient:'#3b2a12'-'#8a6d3b' \
        -fill '#f6efe0' -font "$FONT_BOLD" -pointsize 36 -annotate +40+60 'Saved games' menus/saves_bg.png.tmp.png
    png8 menus/saves_bg.png.tmp.png menus/saves_bg.png
    rm menus/saves_bg.png.tmp.png
    "$CONVERT" -size ${W}x${H} gradient:'#0b1030'-'#283a6e' \
        -fill '#f6efe0' -font "$FONT_BOLD" -pointsize 36 -annotate +40+60 'Gallery' \
        -font "$FONT" -pointsize 16 -annotate +40+90 'Pictures open as the story shows them. Arrows or left/right keys turn.' \
        "$TMP/gal.png"
    png8 "$TMP/gal.png" menus/gallery_bg.png
    "$CONVERT" -size 400x300 gradient:'#555566'-'#222233' -fill '#9999aa' -font "$FONT_BOLD" -pointsize 28 \
        -gravity center -annotate 0 'Not seen yet' menus/locked.png
    "$CONVERT" -size 420x60 xc:none -fill '#f6efe0' -font "$FONT" -pointsize 24 -gravity center \
        -annotate 0 'No saved games yet.' menus/nosaves.png
    "$CONVERT" -size 260x50 xc:none -fill '#283a6ee0' -stroke '#e8d9a8' -strokewidth 2 \
        -draw 'roundrectangle 1,1 258,48 12,12' -stroke none -fill '#f6efe0' -font "$FONT_BOLD" -pointsize 20 \
        -gravity center -annotate 0 'Game saved' menus/saved.png
    # Frames drawn around each item; the second one around the item under the mouse.
    "$CONVERT" -size 184x144 xc:none -fill none -stroke '#f6efe0' -strokewidth 4 -draw 'rectangle 2,2 181,141' menus/frame.png
    "$CONVERT" -size 184x144 xc:none -fill none -stroke '#f3d34a' -strokewidth 6 -draw 'rectangle 3,3 180,140' menus/frame2.png
    "$CONVERT" -size 412x312 xc:none -fill none -stroke '#f6efe0' -strokewidth 4 -draw 'rectangle 2,2 409,309' menus/slide_frame.png
    "$CONVERT" -size 412x312 xc:none -fill none -stroke '#f3d34a' -strokewidth 6 -draw 'rectangle 3,3 408,308' menus/slide_frame2.png
    local kind label
    for kind in close next prev; do
        case $kind in close) label='Close' ;; next) label='Next >' ;; prev) label='< Prev' ;; esac
        "$CONVERT" -size 140x44 xc:none -fill '#f6efe0' -stroke '#8a6d3b' -strokewidth 3 \
            -draw 'roundrectangle 1,1 138,42 12,12' -stroke none -fill '#3b2a12' -font "$FONT_BOLD" -pointsize 20 \
            -gravity center -annotate 0 "$label" "menus/$kind.png"
        "$CONVERT" -size 140x44 xc:none -fill '#f3d34a' -stroke '#8a6d3b' -strokewidth 3 \
            -draw 'roundrectangle 1,1 138,42 12,12' -stroke none -fill '#3b2a12' -font "$FONT_BOLD" -pointsize 20 \
            -gravity center -annotate 0 "$label" "menus/${kind}2.png"
    done
}

icon() {
    "$CONVERT" -size 64x64 xc:none -fill '#283a6e' -draw 'roundrectangle 0,0 63,63 12,12' \
        -fill '#e8553b' -draw 'ellipse 32,36 18,22 0,360' -fill '#ffd27a' -draw 'ellipse 32,36 10,16 0,360' \
        -fill '#5a3a1a' -draw 'rectangle 22,12 42,16' -draw 'rectangle 22,56 42,60' icon.png
}

# ---------------------------------------------------------------- sound
ogg() { oggenc -Q -q "${3:-1}" -o "$2" "$1"; }

# A tune is a list of notes, each a quarter second, played as plucked tones over a soft pad.
tune() { # out seconds pad-chord notes...
    local out=$1 pad=$3
    shift 3
    local parts=() n=0 note
    for note in "$@"; do
        sox -n -r 44100 -c 1 "$TMP/n$n.wav" synth 0.5 pluck "$note" fade 0 0.5 0.3 vol 0.5
        parts+=("$TMP/n$n.wav")
        n=$((n + 1))
    done
    sox "${parts[@]}" "$TMP/melody.wav"
    local length
    length=$(soxi -D "$TMP/melody.wav")
    sox -n -r 44100 -c 1 "$TMP/pad.wav" synth "$length" $pad vol 0.08 fade 1 "$length" 1
    sox -m "$TMP/melody.wav" "$TMP/pad.wav" "$TMP/tune1.wav"
    sox "$TMP/tune1.wav" -b 16 "$TMP/tune.wav" repeat 1 reverb 30 gain -n -3
    ogg "$TMP/tune.wav" "$out" 0
}

music() {
    tune sound/theme.ogg 0 "sine C3 sine G3 sine E4" C4 E4 G4 C5 B4 G4 E4 D4 C4 E4 G4 A4 G4 E4 D4 C4
    tune sound/day.ogg 0 "sine F3 sine C4 sine A4" F4 A4 C5 A4 G4 E4 C4 E4 F4 G4 A4 C5 D5 C5 A4 F4
    tune sound/night.ogg 0 "sine A2 sine E3 sine C4" A3 C4 E4 A4 G4 E4 C4 D4 E4 C4 A3 B3 C4 E4 D4 A3
}

effects() {
    sox -n -r 44100 -c 1 -b 16 "$TMP/chime.wav" synth 1.2 sine 1318 fade 0 1.2 1.1 vol 0.5 reverb 40
    ogg "$TMP/chime.wav" sound/chime.ogg 2
    sox -n -r 44100 -c 1 -b 16 "$TMP/splash.wav" synth 0.8 pinknoise fade 0.02 0.8 0.7 lowpass 1200 vol 0.6
    ogg "$TMP/splash.wav" sound/splash.ogg 1
}

say() { # out voice pitch text
    espeak-ng -v "$2" -p "$3" -s 150 -w "$TMP/say.wav" "$4"
    sox "$TMP/say.wav" -b 16 -r 44100 "$TMP/say44.wav"
    ogg "$TMP/say44.wav" "$1" 1
}

voices() {
    say voice/mira01.ogg en-us+f3 60 "Tobi! There you are. The lanterns go up tonight, remember?"
    say voice/tobi01.ogg en-gb+m3 40 "I remember. I even made one myself. It is a little crooked."
    say voice/mira02.ogg en-us+f3 60 "Crooked lanterns fly just as well. Shall we wait at the lake, or here until dark?"
    say voice/tobi02.ogg en-gb+m3 40 "Look at the water. It is already glowing."
    say voice/mira03.ogg en-us+f3 70 "It flies! I told you it would."
    say voice/tobi03.ogg en-gb+m3 40 "The stars are out. Let us light it together."
    say voice/mira04.ogg en-us+f3 65 "Thank you for playing. Same time next year?"
}

# ---------------------------------------------------------------- fonts
fonts() {
    # DejaVu Sans: its licence allows redistribution; the licence text travels with it.
    cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf fonts/dejavu.ttf
    cp /usr/share/doc/fonts-dejavu-core/copyright fonts/LICENSE-dejavu.txt
    # fontgen makes the bitmap fonts of the text boxes from the same TrueType file; without it (or when it fails)
    # the test suite's small bitmap font stands in.
    if [ -x "$ENGINE" ] && "$ENGINE" --help 2>&1 | grep -q fontgen &&
        timeout 120 "$ENGINE" fontgen fonts/dejavu.ttf 20 fonts/dejavu.fnt &&
        timeout 120 "$ENGINE" fontgen fonts/dejavu.ttf 18 fonts/font1.fnt; then
        :
    else
        echo "make-assets: no working 'velloria fontgen' at $ENGINE; using the test suite's bitmap font" >&2
        "$CONVERT" "$DEMO/../../tests/games/dialogue/fonts/letters.bmp" fonts/letters.png
        sed 's/^Bitmap=.*/Bitmap=letters.png/' "$DEMO/../../tests/games/dialogue/fonts/font1.fnt" > fonts/font1.fnt
        cp fonts/font1.fnt fonts/dejavu.fnt
    fi
    # The Japanese translation's face, Droid Sans Fallback (Apache 2.0), cut down to the characters lang/ja.po uses:
    # run this step again after editing the translation.
    sed -n 's/^msgstr "\(.*\)"$/\1/p' lang/ja.po >"$TMP/ja.txt"
    hb-subset --text-file="$TMP/ja.txt" --output-file=fonts/cjk.ttf \
        /usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf
    cp /usr/share/doc/fonts-droid-fallback/copyright fonts/LICENSE-droid.txt
    # The error screen draws with font1.fnt of the game folder itself.
    cp fonts/font1.fnt font1.fnt
    local bitmap
    bitmap=$(sed -n 's/^Bitmap=//p' fonts/font1.fnt | tr -d '\r')
    cp "fonts/$bitmap" "$bitmap"
}

step() { echo "make-assets: $1" >&2; "$1"; }

# Named steps only (e.g. "make-assets.sh voices fonts"), or all of them.
parts=("$@")
[ ${#parts[@]} -eq 0 ] && parts=(background_meadow background_lake background_night characters props button_plates
    main_menu options_menu quick_menu pause_menu choice_menu galleries icon music effects voices fonts)
for part in "${parts[@]}"; do
    step "$part"
done
du -sh "$DEMO"
