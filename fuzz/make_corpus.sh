#!/usr/bin/env bash
# Makes the fuzz harnesses' seed corpora (<out>/<harness>/) from the real files of a built program
# folder: small files as they are, larger ones cut down to a few KB in their own format. The seeds
# follow the generator, so they are made afresh before each fuzz run rather than kept in the tree.
#   fuzz/make_corpus.sh [program folder (build/bin)] [out (build-fuzz/seeds)]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(realpath "${1:-$root/build/bin}")
out=$(realpath -m "${2:-$root/build-fuzz/seeds}")
content=$root/content
rm -rf "$out"
mkdir -p "$out"/{area,model,wave,texture,ini,shaderconfiguration,material,materialinstance,font}

le32() {
  local n=$1
  printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((n & 255)) $(((n >> 8) & 255)) $(((n >> 16) & 255)) $(((n >> 24) & 255)))"
}
le16() {
  local n=$1
  printf "$(printf '\\x%02x\\x%02x' $((n & 255)) $(((n >> 8) & 255)))"
}
u32at() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }
# count bytes of file from offset on (all to its end without a count).
bytes() { dd if="$1" iflag=skip_bytes,count_bytes skip="$2" ${3:+count=$3} status=none; }

# Area files: one ground cell word and one vertex (the harness fills the terrain section with
# them), then the block and entity records that follow the 416000 bytes of terrain.
terrain=416000
middle_vertex=$((6400 + 16 * (80 * 160 + 80)))
for area in area_0_3 area_1_3 area_3_3; do
  file=$bin/world/$area.world
  { bytes "$file" 0 4; bytes "$file" $middle_vertex 16; bytes "$file" $terrain; } \
    > "$out/area/$area"
done

# Models as they are: the smallest of each kind.
cp "$bin/models/props/paper_1.model" "$out/model/paper_1.model"
cp "$bin/models/environment/tree_pine.model" "$out/model/tree_pine.model"

# Sounds: the RIFF header and fmt chunk of the real file with its data cut to 2000 bytes.
for sound in jump land; do
  file=$bin/sounds/$sound.wav
  { printf 'RIFF'; le32 2036; bytes "$file" 8 32; le32 2000; bytes "$file" 44 2000; } \
    > "$out/wave/$sound.wav"
done

# Textures: script length, script, picture.
texture_seed() {
  local script=$1 picture=$2 name=$3
  { le16 "$(stat -c %s "$script")"; cat "$script" "$picture"; } > "$out/texture/$name"
}
texture_seed "$bin/textures/skybox/bottom.texture" "$bin/textures/skybox/bottom.png" skybox_bottom
texture_seed "$bin/fonts/default.texture" "$bin/textures/heightmaps/groundmap.png" groundmap
# A poster picture (JPEG) scaled down to a few KB.
convert "$bin/textures/ads/ad_17.jpg" -resize 32x32 -quality 80 "jpg:$out/texture/poster.jpg.tmp"
texture_seed "$bin/textures/particles/pickup.texture" "$out/texture/poster.jpg.tmp" poster
rm "$out/texture/poster.jpg.tmp"

cp "$bin/kipster.ini" "$out/ini/kipster.ini"
cp "$bin/models/models.ini" "$out/ini/models.ini"
for shader in "$content"/shaders/*.shader "$content"/shaders/default/*.shader; do
  cp "$shader" "$out/shaderconfiguration/"
done
cp "$content"/materials/*.material "$out/material/"
cp "$content"/materials/*.instance "$out/materialinstance/"
# The binary instance records a model carries: paper_1.model's first record follows the magic, its
# name and the instance count.
model=$bin/models/props/paper_1.model
start=$((8 + 4 + $(u32at "$model" 8) + 4))
bytes "$model" $start 256 > "$out/materialinstance/paper_1_records"
cp "$bin/fonts/default.font" "$out/font/default.font"
du -sh "$out"
