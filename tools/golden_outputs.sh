#!/usr/bin/env bash
# Writes what every example gives through every command and graph, and four
# window pictures, into OUT_DIR, so that two builds can be compared with diff -r
# (the window pictures differ by the blinking text caret).
#   tools/golden_outputs.sh BIN_DIR OUT_DIR
set -u
B=$1; O=$2; rm -rf "$O"; mkdir -p "$O"
CLI=$B/tapwright-cli; SHOT=$B/tapwright_window_shot
EX=$(cd "$(dirname "$0")/../examples" && pwd)
# Without the window shot program the pictures would be left out without a word, and
# a diff against a set that has them would only list them as missing.
if [ ! -x "$SHOT" ]; then
  echo "golden_outputs.sh: $SHOT is missing (build the target tapwright_window_shot)" >&2
  exit 1
fi
run() { local name=$1; shift; "$@" > "$O/$name.out" 2> "$O/$name.err"; echo $? > "$O/$name.rc"; }
prev=$EX/lowpass_default.txt
for f in $EX/*.txt; do
  e=$(basename $f .txt)
  run $e.design $CLI design $f
  run $e.response $CLI response $f
  for g in impulse magnitude db passband stopband range phase window \
           group-delay unwrapped-phase pole-zero step; do
    run $e.plot.$g $CLI plot $f -o $O/$e.$g.png --graph $g
  done
  run $e.plot.impc $CLI plot $f -o $O/$e.impc.png --graph impulse --curve --grid
  run $e.plot.phd $CLI plot $f -o $O/$e.phd.png --graph phase --degrees --curve
  run $e.plot.rz $CLI plot $f -o $O/$e.rz.png --graph range --range 100:1500 --zoom --grid
  run $e.plot.q8 $CLI plot $f -o $O/$e.q8.png --graph db --bits 8
  run $e.plot.gds $CLI plot $f -o $O/$e.gds.png --graph group-delay --seconds
  run $e.plot.hold $CLI plot $f -o $O/$e.hold.png --graph db --hold $prev
  run $e.plot.legend $CLI plot $f -o $O/$e.legend.png --graph legend --hold $prev
  for fmt in txt csv json c; do run $e.export.$fmt $CLI export $f --format $fmt; done
  for fmt in txt csv c coe; do run $e.exportq.$fmt $CLI export $f --format $fmt --bits 12; done
  run $e.measure $CLI measure $f
  run $e.measureq $CLI measure $f --bits 10 --json
  run $e.repr $CLI report $f --kind response -o $O/$e.resp.pdf --graph db --dpi 150
  run $e.repc $CLI report $f --kind coefficients -o $O/$e.coef.pdf --dpi 150
  for p in resp coef; do [ -f $O/$e.$p.pdf ] && pdftotext -layout $O/$e.$p.pdf $O/$e.$p.txt && rm $O/$e.$p.pdf; done
  QT_QPA_PLATFORM=offscreen $SHOT load $f apply shot $O/$e.win0.png > /dev/null 2> $O/$e.win0.err
  QT_QPA_PLATFORM=offscreen $SHOT load $f apply select 1033 1 click 1059 shot $O/$e.win1.png > /dev/null 2> $O/$e.win1.err
  QT_QPA_PLATFORM=offscreen $SHOT load $f apply select 1033 2 shot $O/$e.win2.png > /dev/null 2> $O/$e.win2.err
  QT_QPA_PLATFORM=offscreen $SHOT load $prev apply select 1033 1 click 1059 click 1090 load $f apply shot $O/$e.win3.png > /dev/null 2> $O/$e.win3.err
  prev=$f
done
# refused/damaged cases
printf 'garbage\n' > "$O/bad_input.txt"
run bad.design $CLI design "$O/bad_input.txt"
ls "$O" | wc -l
