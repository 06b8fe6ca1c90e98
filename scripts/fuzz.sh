#!/usr/bin/env bash
# Runs every fuzzer for a bounded time, JOBS of them at once (default: the number of
# cores). Each first replays its corpus folder under fuzz/corpus alone, so an input that
# once crashed a parser and was kept there fails as itself, then fuzzes from that corpus.
# usage: fuzz.sh BUILD_DIR [seconds]
set -eu
dir=$1; seconds=${2:-10}
jobs=${JOBS:-$(nproc)}
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
# An input that crashes a fuzzer is kept in the build folder (its name is in the log), not
# in whatever folder the run started from.
out=$(cd "$dir" && pwd)
trap 'rm -rf "$work"' EXIT

one() {
  local f=$1 name corpus
  name=$(basename "$f")
  corpus="$work/$name"
  mkdir -p "$corpus"
  [ -d "$here/fuzz/corpus/$name" ] && cp -r "$here/fuzz/corpus/$name/." "$corpus/"
  { "$f" -runs=0 -timeout=5 -rss_limit_mb=2048 -artifact_prefix="$out/" "$corpus" &&
    "$f" -max_total_time="$seconds" -max_len=65536 -timeout=5 -rss_limit_mb=2048 \
         -print_final_stats=0 -artifact_prefix="$out/" "$corpus"; } > "$work/$name.log" 2>&1
}

fuzzers=()
for f in "$dir"/fuzz_* "$dir"/fuzz/fuzz_*; do
  [ -f "$f" ] && [ -x "$f" ] && fuzzers+=("$f")
done
[ ${#fuzzers[@]} -gt 0 ] || { echo "fuzz.sh: no fuzzers in $dir" >&2; exit 1; }
echo "== ${#fuzzers[@]} fuzzers for ${seconds}s each, $jobs at a time"

running=0
for f in "${fuzzers[@]}"; do
  if [ $running -ge "$jobs" ]; then wait -n || true; running=$((running - 1)); fi
  ( rc=0; one "$f" || rc=$?; echo $rc > "$work/$(basename "$f").rc" ) &
  running=$((running + 1))
done
wait

status=0
for f in "${fuzzers[@]}"; do
  name=$(basename "$f")
  if [ "$(cat "$work/$name.rc" 2>/dev/null)" = 0 ]; then
    echo "$name: $(grep -E '^(Done|#[0-9]+.*DONE)' "$work/$name.log" | tail -n 1)"
  else
    echo "== $name FAILED"; tail -n 40 "$work/$name.log"; status=1
  fi
done
exit $status
