# The specular factor (N . H)^shininess against the angle between the normal and the half vector,
# from the table lessons_record writes (its third curve is the viewer's own shininess). Run with
#   gnuplot -e "folder='FOLDER'; output='FILE.png'" lessons/specular.gp
set terminal pngcairo size 720,380 font "sans,10"
set output output
set key autotitle columnhead top right
set xlabel "angle between the normal N and the half vector H (degrees)"
set ylabel "specular factor (N . H)^{shininess}"
set xrange [0:45]
set yrange [0:1.02]
set xtics 5
set grid
plot for [column=2:5] folder.'/specular.dat' using 1:column with lines \
     lw (column == 4 ? 3.5 : 1.5) lc (column - 1)
