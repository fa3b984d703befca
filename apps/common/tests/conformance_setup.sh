# Sourced by the sample programs' conformance scripts (apps/NAME/tests/), after
# "set -uo pipefail":
#   . "$(dirname "$0")/../../common/tests/conformance_setup.sh" DECODER WORKDIR ORACLE...
# Sets dec (the program's absolute path), here (the script's directory), root
# (the repository) and common (this directory); installs the oracle programs
# when missing (scripts/deps.sh) and exits 77 (skipped) when they or python3
# are still missing; then enters WORKDIR.
dec=$(cd "$(dirname "$1")" && pwd)/$(basename "$1") work=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
common=$root/apps/common/tests
kvn_oracle_missing() {
  local t
  for t in "$@" python3; do command -v "$t" >/dev/null || return 0; done
  return 1
}
if kvn_oracle_missing "$@"; then "$root/scripts/deps.sh" "$@" >/dev/null 2>&1 || true; fi
if kvn_oracle_missing "$@"; then
  echo "SKIP: $* or python3 not available"
  exit 77
fi
mkdir -p "$work" && cd "$work" || exit 1
