#!/usr/bin/env bash
# Runs every fuzzer for a bounded time, seeded from its corpus folder under fuzz/corpus.
set -eu
dir=$1; seconds=${2:-10}
here=$(cd "$(dirname "$0")/.." && pwd)
status=0
for f in "$dir"/fuzz_* "$dir"/fuzz/fuzz_*; do
  [ -f "$f" ] && [ -x "$f" ] || continue
  name=$(basename "$f")
  corpus=$(mktemp -d)
  [ -d "$here/fuzz/corpus/$name" ] && cp -r "$here/fuzz/corpus/$name/." "$corpus/"
  echo "== $name for ${seconds}s"
  if ! "$f" -max_total_time="$seconds" -max_len=65536 -timeout=5 -rss_limit_mb=2048 \
        -print_final_stats=0 "$corpus" > "$corpus.log" 2>&1; then
    tail -n 40 "$corpus.log"; status=1
  else
    grep -E '^(Done|#[0-9]+.*DONE)' "$corpus.log" | tail -n 1 || true
  fi
  rm -rf "$corpus" "$corpus.log"
done
exit $status
