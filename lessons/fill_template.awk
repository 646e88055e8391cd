# Puts the numbers into the lessons' template: every @KEY@ becomes the value of KEY from a list of
# "KEY value" lines. Fails, naming it, on a placeholder the list has no value for.
#   awk -f lessons/fill_template.awk NUMBERS lessons/LESSONS.md.in
NR == FNR {
  key = $1
  sub(/^[^ ]+ /, "")
  value[key] = $0
  next
}
{
  rest = $0
  out = ""
  while (match(rest, /@[A-Z0-9_]+@/)) {
    key = substr(rest, RSTART + 1, RLENGTH - 2)
    if (!(key in value)) {
      print FILENAME ":" FNR ": no number for " key > "/dev/stderr"
      missing = 1
    }
    out = out substr(rest, 1, RSTART - 1) value[key]
    rest = substr(rest, RSTART + RLENGTH)
  }
  print out rest
}
END { exit missing }
