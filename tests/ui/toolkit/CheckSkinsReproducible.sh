#!/usr/bin/env bash
# The committed skins and icons are what scripts/make-assets.py draws today,
# byte for byte: a change to a shape, a rounding or the file writer that
# was not followed by a new run (or a drawing that depends on the machine,
# the order of the workers or the time) fails here. Every skin at 100 %
# (the 96-DPI look) and at 175 % (a scale whose cells round), the icons and
# the scaled resource list; the other scales take most of the script's
# time and come from the same code.
#   CheckSkinsReproducible.sh <source root> <work folder>
set -euo pipefail
root=$1
out=$2/skins
rm -rf "$out"
mkdir -p "$out"
JOBS=1 python3 "$root/scripts/make-assets.py" --scales=100,175 "$out"
count=0
for made in "$out"/*; do
  name=$(basename "$made")
  if ! cmp -s "$made" "$root/res/skins/$name"; then
    echo "res/skins/$name differs from what scripts/make-assets.py draws now" >&2
    exit 1
  fi
  count=$((count + 1))
done
# 16 skins at two scales, three icons and the resource list.
[ "$count" -eq 36 ] || { echo "expected 36 files, the script made $count" >&2; exit 1; }
echo "$count files identical to the committed ones"
