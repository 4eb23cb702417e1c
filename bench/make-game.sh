#!/usr/bin/env bash
# Writes a long generated game for start-up and idle measurements:
#   bench/make-game.sh N OUT_DIR
# N speech lines in scenes of 100, spoken in turn by two characters, a background change every 20 lines, a
# two-way choice every 500 lines (none with CHOICES=no; CHOICE_SCENES=K: one every K scenes instead, from scene
# CHOICE_FROM on; REJOIN=yes: both entries go on at the next scene), and a music playlist that plays from the first
# scene on.
# Pictures, the font and the tune are copied from the bundled demo so they really load.
set -euo pipefail

if [[ $# -ne 2 || ! $1 =~ ^[0-9]+$ || $1 -lt 1 ]]; then
    echo "usage: $0 LINES OUT_DIR" >&2
    exit 2
fi
lines=$1
out=$2
choices=${CHOICES:-yes}
every=${CHOICE_SCENES:-5}
from=${CHOICE_FROM:-$every}
rejoin=${REJOIN:-no}
demo="$(cd "$(dirname "$0")/.." && pwd)/games/demo"

mkdir -p "$out/pics" "$out/sound" "$out/fonts"
cp "$demo"/pics/{bg_meadow,bg_lake,mira_calm,mira_calm_talk,tobi_calm,tobi_calm_talk,more}.png "$out/pics/"
cp "$demo"/fonts/font1.fnt "$demo"/fonts/font1.png "$out/fonts/"
cp "$demo"/sound/day.ogg "$out/sound/"
rm -f "$out"/*.cvls

cat >"$out/system.vls" <<'VLS'
graphics_init(resolution=800:600, fullscreen=0)
game_init(title="Generated", id=velloria-bench)
start_scene(s1)
VLS

cat >"$out/script.vls" <<'VLS'
object(bg_meadow, file=pics/bg_meadow.png)
object(bg_lake, file=pics/bg_lake.png)
object(mira_calm, file=pics/mira_calm.png)
object(mira_calm_talk, file=pics/mira_calm_talk.png)
object(tobi_calm, file=pics/tobi_calm.png)
object(tobi_calm_talk, file=pics/tobi_calm_talk.png)
object(more, file=pics/more.png)
style(speech, font=font1, il=100, speed=40, clickme=more)
style(label, font=font1, il=100, color=ffd27a)
style(choice, font=font1, il=100, color=ffd27a)
textbox(main, align=160:470, size=480:110)
textbox(name, align=160:446, size=300:24)
beginplaylist(day)
file(sound/day.ogg)
end
begincharacter(mira)
pose(calm, idle=mira_calm, speak=mira_calm_talk)
dialog(textbox=main, namebox=name, namestyle=label, style=speech, name=Mira)
end
begincharacter(tobi)
pose(calm, idle=tobi_calm, speak=tobi_calm_talk)
dialog(textbox=main, namebox=name, namestyle=label, style=speech, name=Tobi)
end
include(story.vls)
VLS

# One awk pass writes the story: scene k holds lines 100(k-1)+1 .. 100k.
awk -v lines="$lines" -v choices="$choices" -v every="$every" -v from="$from" -v rejoin="$rejoin" 'BEGIN {
    scenes = int((lines + 99) / 100)
    split("drift over the water|glow above the reeds|rise past the old mill|turn slowly in the wind|" \
          "flicker like small stars|float towards the hills", sights, "|")
    for (s = 1; s <= scenes; ++s) {
        printf "beginscene(s%d)\n", s
        if (s == 1)
            print "playlist(day)"
        print "character(mira, layer=1, align=120:60, pose=calm)"
        print "character(tobi, layer=1, align=460:60, pose=calm)"
        last = s * 100 < lines ? s * 100 : lines
        for (n = (s - 1) * 100 + 1; n <= last; ++n) {
            if ((n - 1) % 20 == 0)
                printf "object(%s, layer=0, align=0:0)\n", ((n - 1) / 20) % 2 ? "bg_lake" : "bg_meadow"
            printf "%s=Line %d. Look how the lanterns %s, one after another, until the night is bright.\n\n",
                   n % 2 ? "mira" : "tobi", n, sights[n % 6 + 1]
        }
        if (s == scenes)
            print "pause"
        else if (s >= from && (s - from) % every == 0 && choices != "no") {
            print "beginselection"
            printf "entry(text=Follow the lanterns, style=choice, align=170:470, size=440:30, action=goto(s%d))\n", s + 1
            printf "entry(text=Stay by the fire, style=choice, align=170:520, size=440:30, action=goto(s%d))\n",
                   s + 2 <= scenes && rejoin != "yes" ? s + 2 : s + 1
            print "end"
        } else
            printf "goto(s%d)\n", s + 1
        print "end\n"
    }
}' >"$out/story.vls"
