#!/usr/bin/env bash
# Runs the tool once for one case folder and compares what it did with what
# the folder expects:
#   run_case.sh TOOL CASE_DIR [EMULATOR...]
#   args             the arguments, one line, split at blanks
#   stdin            fed to the tool (otherwise standard input is empty)
#   requires         optional: what the case needs, one word a line (root,
#                    linux, posix, windows, strace); a case whose needs are not met is
#                    skipped with the reason (exit status 77)
#   setup            optional script run first in the scratch folder
#   environment      optional script sourced in the tool's own shell just
#                    before it starts (resource limits, ignored signals); it
#                    may set `launcher`, a command the tool is run through
#   console          the exact bytes expected on standard output
#   errors           the exact bytes expected on standard error (otherwise
#                    it must stay empty)
#   status           the expected exit status
#   expected.NAME    the exact bytes expected in file NAME afterwards
#   check            optional script run last; it fails the case by failing;
#                    ./run_tool runs the tool again with other arguments, and
#                    $tool names it (as `environment` sees it)
# Everything runs in a scratch copy of the folder, so the case stays clean.
# EMULATOR, when given, runs the tool (a binary built for another system).
set -u
tool=$1
case_dir=$2
shift 2
emulator=("$@")
[ -n "${emulator[*]}" ] || tool=$(realpath "$tool")

skip() { echo "skipped: $1"; exit 77; }
if [ -f "$case_dir/requires" ]; then
  while read -r need; do
    case "$need" in
      root) [ "$(id -u)" -eq 0 ] || skip "needs root (to act for another user)" ;;
      linux) [ "$(uname -s)" = Linux ] && [ ${#emulator[@]} -eq 0 ] || skip "needs Linux" ;;
      posix) [ "${SKEWQUAD_TARGET_SYSTEM:-posix}" = posix ] || skip "needs a POSIX system" ;;
      windows) [ "${SKEWQUAD_TARGET_SYSTEM:-posix}" = windows ] || skip "needs Windows" ;;
      strace) command -v strace > /dev/null && [ ${#emulator[@]} -eq 0 ] || skip "needs strace" ;;
      "") ;;
      *) skip "unknown need: $need" ;;
    esac
  done < "$case_dir/requires"
fi

scratch=$(mktemp -d)
trap 'chmod -R u+w "$scratch" 2>/dev/null; rm -rf "$scratch"' EXIT
cp -R "$case_dir"/. "$scratch"/
cd "$scratch" || exit 1

{
  printf 'exec'
  printf ' %q' "${emulator[@]}" "$tool"
  printf ' "$@"\n'
} > run_tool
chmod +x run_tool
if [ -f setup ]; then bash ./setup || { echo "setup failed"; exit 1; }; fi
read -r -a arguments < args || true
input=/dev/null
[ -f stdin ] && input=stdin
(
  launcher=()
  if [ -f environment ]; then source ./environment; fi
  exec timeout 60 "${launcher[@]}" "${emulator[@]}" "$tool" "${arguments[@]}" < "$input" > actual.console 2> actual.errors
)
status=$?

failed=0
if ! cmp -s -- console actual.console; then
  echo "console differs (expected, then actual):"
  od -c console | tail -n 12
  echo ---
  od -c actual.console | tail -n 12
  failed=1
fi
if [ -f errors ]; then
  if ! cmp -s -- errors actual.errors; then
    echo "standard error differs (expected, then actual):"
    cat errors
    echo ---
    cat actual.errors
    failed=1
  fi
elif [ -s actual.errors ]; then
  echo "the tool wrote to standard error:"
  cat actual.errors
  failed=1
fi
expected_status=$(cat status)
if [ "$status" != "$expected_status" ]; then
  echo "exit status $status, expected $expected_status"
  failed=1
fi
for expected in expected.*; do
  [ -e "$expected" ] || continue
  name=${expected#expected.}
  if ! cmp -s -- "$expected" "$name"; then
    echo "file $name differs from $expected:"
    diff <(od -c -- "$expected") <(od -c -- "$name" 2>&1) | head -n 20
    failed=1
  fi
done
if [ -f check ] && ! tool="$tool" bash ./check; then
  echo "check failed"
  failed=1
fi
exit $failed
