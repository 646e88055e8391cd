# Median frame times from frame_bench's CSV as grouped bars. Run with
#   gnuplot -e "data='FILE.csv'; output='FILE.png'" bench/performance.gp
set terminal pngcairo size 1400,700 font "sans,11"
set output output
set datafile separator ","
set key autotitle columnhead top left
set title "Median frame time, 600 x 600 window, Mesa llvmpipe (log scale; floor and peer measured for the ladder and the tree)"
set ylabel "ms per frame"
set logscale y
set yrange [0.1:*]
set grid ytics
set style data histograms
set style histogram clustered gap 1
set style fill solid 0.85 border -1
set boxwidth 0.9
set xtics rotate by -45 nomirror
set rmargin 8
label(model, shading, highlight) = model . " " . shading . (highlight eq "on" ? " +highlight" : "")
plot data using "ours_ms":xticlabels(label(strcol(1), strcol(2), strcol(3))) title "ours (immediate mode)" lc rgb "#1f77b4", \
     "" using "floor_ms" title "floor (same calls from arrays)" lc rgb "#7f7f7f", \
     "" using "peer_ms" title "peer (freeglut solids)" lc rgb "#ff7f0e"
