#!/usr/bin/env bash
# Draws the programs' icon, TamselOrry.ico: a blue tile with a white arrow that drops into a
# tray, at 48, 32 and 16 pixels. Run it again (ImageMagick, Python) after changing the drawing;
# the build uses the committed .ico.
#
# Each image is stored PNG-compressed, which every Windows from Vista on reads in icons of any
# size: some 3 KB for the three sizes where bitmaps would take 15 KB of each program.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Drawn once at 192 pixels and scaled down, so that the small sizes keep smooth edges.
convert -size 192x192 xc:none \
  -fill '#1c5fae' -draw 'roundrectangle 8,8 183,183 32,32' \
  -fill '#2f80d8' -draw 'roundrectangle 8,8 183,96 32,32' -draw 'rectangle 8,60 183,96' \
  -fill white -draw 'polygon 80,32 112,32 112,92 140,92 96,136 52,92 80,92' \
  -fill white -draw 'rectangle 40,148 152,160' -draw 'rectangle 40,120 52,160' \
  -draw 'rectangle 140,120 152,160' \
  "$work/master.png"
sizes=(48 32 16)
for size in "${sizes[@]}"; do
  convert "$work/master.png" -filter Lanczos -resize "${size}x${size}" -strip \
    -define png:color-type=6 "PNG32:$work/$size.png"
done

# The icon file: ICONDIR, one ICONDIRENTRY per image, then the PNG files as they are.
python3 - "$work" "${sizes[@]}" >TamselOrry.ico <<'PY'
import struct, sys
work, sizes = sys.argv[1], [int(s) for s in sys.argv[2:]]
images = [open(f"{work}/{s}.png", "rb").read() for s in sizes]
out = struct.pack("<HHH", 0, 1, len(images))
offset = 6 + 16 * len(images)
for size, data in zip(sizes, images):
    out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
    offset += len(data)
sys.stdout.buffer.write(out + b"".join(images))
PY
