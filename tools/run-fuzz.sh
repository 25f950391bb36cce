#!/usr/bin/env bash
# Runs every fuzz target of the fuzz build for the given number of seconds, two at a time.
# New inputs go to <build>/corpus/<name> (the seeds in fuzz/corpus/<name> are only read);
# a crash leaves its input in <build>/crashes/ and makes this script fail: copy it into
# fuzz/corpus/<name>/ once the fault is mended, so the test suite replays it for good.
#   tools/run-fuzz.sh BUILD_DIR SECONDS TARGET...
set -uo pipefail
build=$1 seconds=$2
shift 2
mkdir -p "$build/crashes" "$build/logs"
run_one() {
  local build=$1 seconds=$2 target=$3
  local name=${target%_fuzz}
  mkdir -p "$build/corpus/$name"
  if "$build/$target" "$build/corpus/$name" "fuzz/corpus/$name" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -close_fd_mask=2 -artifact_prefix="$build/crashes/$name-" \
      >"$build/logs/$name.log" 2>&1; then
    echo "$target: clean, $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$build/logs/$name.log" | grep -o '[0-9]*$') runs in ${seconds}s"
  else
    echo "$target: FAILED, see $build/logs/$name.log and $build/crashes/"
    return 1
  fi
}
export -f run_one
printf '%s\n' "$@" | xargs -P 2 -I{} bash -c 'run_one "$@"' _ "$build" "$seconds" {}
