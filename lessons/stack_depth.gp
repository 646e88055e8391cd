# The modelview stack depth after each push and pop of one frame of the tree, with a dot where
# each rod is drawn, coloured by its level of the recursion, from the tables lessons_record writes:
# the whole frame above, its first calls below. Run with
#   gnuplot -e "folder='FOLDER'; output='FILE.png'" lessons/stack_depth.gp
set terminal pngcairo size 960,720 font "sans,10"
set output output
depth = folder.'/stack-depth.dat'
rods = folder.'/stack-rods.dat'
levels = folder.'/stack-levels.dat'
first_calls = 40
# One colour per level of the recursion, trunk first.
set linetype 1 lc rgb "#6a3d9a"
set linetype 2 lc rgb "#1b9e77"
set linetype 3 lc rgb "#1f78b4"
set linetype 4 lc rgb "#d95f02"
set linetype 5 lc rgb "#e7298a"

stats depth using 1:2 nooutput
set multiplot layout 2,1
set yrange [0:STATS_max_y + 1]
set ytics 1
set grid ytics
set ylabel "matrices on the stack"
set xlabel "the frame's push and pop calls, in order"

set title "one frame of the tree"
set xrange [0:STATS_max_x * 1.16]
plot depth using 1:2 with steps lc rgb "#7f7f7f" notitle, \
     rods using 1:2:3 with points pt 7 ps 0.7 lc variable notitle, \
     levels using (STATS_max_x * 1.01):1:3:2 with labels left tc variable notitle

set title sprintf("its first %d calls", first_calls)
set key bottom right opaque box
set xrange [0:first_calls]
set xtics 2
plot depth using 1:2 with steps lw 2 lc rgb "#7f7f7f" title "stack depth after the call", \
     rods using 1:2:3 with points pt 7 ps 1.4 lc variable title "a rod drawn (colour: its level)"
unset multiplot
