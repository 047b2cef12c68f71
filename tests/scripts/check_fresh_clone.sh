#!/usr/bin/env bash
# The README's run command on a fresh clone of HEAD: it must build what it needs by itself and
# show the usage text with exit status 0.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
git clone -q "$root" "$work/quillmoor"
status=0
start=$(date +%s)
(cd "$work/quillmoor" && QUILLMOOR_CONSOLE=1 scripts/run /h) >"$work/out" 2>&1 || status=$?
if [ "$status" -ne 0 ] || ! grep -qx "Usage PATH=filepath DAYS=DaysCount \[DEBUG=0,1,2\]" "$work/out"; then
  cat "$work/out" >&2
  echo "check_fresh_clone: scripts/run /h on a fresh clone failed (exit status $status)" >&2
  exit 1
fi
echo "check_fresh_clone: scripts/run /h on a fresh clone passed in $(($(date +%s) - start)) s"
