# Sourced by the benchmark scripts: cpu_time CMD... prints the best
# user + system seconds of three runs of the command.
cpu_time() {
  local best=""
  for _ in 1 2 3; do
    local t
    t=$( { TIMEFORMAT='%U %S'; time "$@" >/dev/null 2>&1; } 2>&1 | awk '{print $1 + $2}')
    if [ -z "$best" ] || awk "BEGIN{exit !($t < $best)}"; then best=$t; fi
  done
  echo "$best"
}
