# Sourced by the scripts that need an X display of their own: not run.

# Starts Xvfb on the first free display number, which Xvfb picks itself and writes to the pipe
# named by -displayfd, exports DISPLAY for it and leaves the server's process id in xvfb_pid.
start_virtual_display() {
  local ready number
  exec {ready}<> <(:)
  Xvfb -displayfd "$ready" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  read -r -t 30 -u "$ready" number
  exec {ready}>&-
  export DISPLAY=":$number"
}
