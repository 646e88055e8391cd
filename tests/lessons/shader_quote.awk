# Prints why lesson 6 no longer quotes the browser's shader, or nothing when it does: the first
# ```glsl block after the lesson's heading must be a run of consecutive lines of the lighting
# equation's GLSL source, each line compared without the spaces around it, since the lesson indents
# it its own way.
#   awk -f shader_quote.awk platform/web/gl/shader.cpp docs/LESSONS.md
function trimmed(line) {
  gsub(/^[ \t]+|[ \t]+$/, "", line)
  return line
}

NR == FNR {
  if (/^\)";/) inShader = 0
  if (inShader) shader[shaderLines++] = trimmed($0)
  if (/LIGHTING_EQUATION = R"\(/) inShader = 1
  next
}
/^## 6\. / { inLesson = 1 }
inQuote && /^```/ { inQuote = 0; quoted = 1 }
inQuote { quote[quoteLines++] = trimmed($0) }
inLesson && !quoted && /^```glsl/ { inQuote = 1 }

END {
  if (shaderLines == 0) { print "no LIGHTING_EQUATION in " ARGV[1]; exit }
  if (!quoted || quoteLines == 0) {
    print "no ```glsl block after lesson 6's heading in " ARGV[2]
    exit
  }
  # The start that matches the most lines names the first quoted line that went astray.
  most = 0
  for (start = 0; start + quoteLines <= shaderLines; start++) {
    for (k = 0; k < quoteLines && shader[start + k] == quote[k]; k++) {}
    if (k == quoteLines) exit
    if (k > most) most = k
  }
  print "quoted line " most + 1 ", \"" quote[most] "\", is not where the quote puts it in " \
    ARGV[1] "'s LIGHTING_EQUATION"
}
