#!/usr/bin/env bash
# Writes a game whose screen changes in every frame, for the cost of drawing (each renderer) with bench/idle.sh:
#   bench/make-moving-game.sh OUT_DIR
# A character crosses the demo's meadow and back for ever, over the full 800x600 background.
set -euo pipefail

if [[ $# -ne 1 ]]; then
    echo "usage: $0 OUT_DIR" >&2
    exit 2
fi
out=$1
demo="$(cd "$(dirname "$0")/.." && pwd)/games/demo"

mkdir -p "$out/pics"
cp "$demo"/pics/{bg_meadow,mira_calm}.png "$out/pics/"
rm -f "$out"/*.cvls

cat >"$out/system.vls" <<'VLS'
graphics_init(resolution=800:600, fullscreen=0)
game_init(title="Moving", id=velloria-bench-moving)
start_scene(walk)
VLS

cat >"$out/script.vls" <<'VLS'
object(bg_meadow, file=pics/bg_meadow.png)
object(mira_calm, file=pics/mira_calm.png)
beginscene(walk)
object(bg_meadow, layer=0, align=0:0)
object(mira_calm, layer=1, align=0:60)
move(mira_calm, start=0:60, finish=560:60, time=4000)
move(mira_calm, start=560:60, finish=0:60, time=4000)
goto(walk)
end
VLS
