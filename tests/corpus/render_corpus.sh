#!/usr/bin/env bash
# Draws the BMP corpus through `glimsel-idb render` and checks the result.
#
# Usage: render_corpus.sh KIND TOOL [OUTDIR]
#   KIND bmp-g, bmp-q, bmp-extra: renders every picture of that folder to OUTDIR/NAME.png
#        and compares the PNGs with the corpus references (compare.py).
#   KIND bmp-bad: renders every picture of bmp/b and bmp/x; each must be drawn or refused
#        with a message, never crash or hang.
# The corpus lives in ../shared/corpus beside the repository (or $GLIMSEL_CORPUS_DIR);
# where it is absent the check is skipped and the script exits 0.
set -u

kind=${1:?KIND}
tool=${2:?TOOL}
here=$(cd "$(dirname "$0")" && pwd)
corpus=${GLIMSEL_CORPUS_DIR:-$here/../../../shared/corpus}
outdir=${3:-$(mktemp -d)}

case $kind in
  bmp-g | bmp-q | bmp-extra) folders=(${kind#bmp-}) ;;
  bmp-bad) folders=(b x) ;;
  *) echo "unknown kind: $kind" >&2; exit 2 ;;
esac

if [ ! -d "$corpus/bmp" ]; then
  echo "skipped: no corpus at $corpus"
  exit 0
fi

mkdir -p "$outdir"
rm -f "$outdir"/*.png
crashed=0
refused=0
drawn=0
for folder in "${folders[@]}"; do
  for picture in "$corpus/bmp/$folder"/*.bmp; do
    name=$(basename "$picture" .bmp)
    # Exit 1 is a refusal with a message; anything else (a signal, a sanitizer's exit,
    # the timeout's 124) is a failure of the reader or the renderer.
    timeout 60 "$tool" render "$picture" "$outdir/$name.png" 2>"$outdir/$name.err"
    rc=$?
    if [ $rc -eq 0 ]; then
      drawn=$((drawn + 1))
    elif [ $rc -eq 1 ]; then
      refused=$((refused + 1))
      echo "refused $folder/$name: $(head -c 200 "$outdir/$name.err")"
    else
      crashed=$((crashed + 1))
      echo "CRASH $folder/$name (exit $rc): $(head -c 400 "$outdir/$name.err")"
    fi
  done
done
echo "$kind: $drawn drawn, $refused refused, $crashed crashed"
[ $crashed -eq 0 ] || exit 1
[ "$kind" = bmp-bad ] && exit 0

python=/usr/bin/python3
[ -x $python ] || python=python3
exec "$python" "$corpus/compare.py" "$kind" "$outdir"
