# The drift test's comparison: one line per number that moved, appeared or went, and per pixel that
# strayed from the equation; nothing when all is well. PIXEL_ numbers are read from the rendered
# frames, so they may move by one step of 255 (llvmpipe's rounding can follow the CPU's vector
# instructions), and may lie one step from the equation.
#   awk -f compare_numbers.awk equation_pixels.txt COMMITTED_NUMBERS NEW_NUMBERS
# Whether two lists of numbers differ by more than one step anywhere.
function apart(a, b,    n, i, x, y) {
  n = split(a, x, /, /)
  if (n != split(b, y, /, /)) return 1
  for (i = 1; i <= n; i++) if (x[i] - y[i] > 1 || y[i] - x[i] > 1) return 1
  return 0
}
FNR == 1 { file++ }
file == 1 {
  if ($0 !~ /^#/ && NF == 2) equation[$1] = $2
  next
}
{ key = $1; sub(/^[^ ]+ /, "") }
# The browser's numbers are measured again by the browser suite, not here.
file == 2 && key ~ /^BROWSER_/ { next }
file == 2 { committed[key] = $0; next }
{
  now[key] = $0
  if (!(key in committed)) print key ": new, " $0
  else if (key ~ /^PIXEL_/ ? apart($0, committed[key]) : $0 != committed[key])
    print key ": " committed[key] " is now " $0
  delete committed[key]
}
END {
  for (key in committed) print key ": no longer generated"
  for (pixel in equation) {
    if (split(now[pixel], channels, /, /) != 3 || apart(now[pixel], now[equation[pixel]]))
      print pixel " " now[pixel] " is more than 1/255 from " equation[pixel] " " now[equation[pixel]]
  }
}
