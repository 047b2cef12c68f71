#!/usr/bin/env bash
# Dependencies point down only: frontends -> ui -> cleanup/log -> tree -> platform. The run
# settings (app/settings.h) are a leaf every layer may read; nothing else of app/ is included.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
rank() {
  case $1 in
    platform) echo 0 ;;
    tree) echo 1 ;;
    cleanup | log) echo 2 ;;
    ui) echo 3 ;;
    frontends) echo 4 ;;
    app) echo 5 ;;
    *) echo 99 ;;
  esac
}
bad=0
while IFS= read -r hit; do
  file=${hit%%:*}
  included=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"${hit#*:}")
  [ "$included" = app/settings.h ] && continue
  from=${file%%/*}
  to=${included%%/*}
  if [ "$(rank "$to")" -ne 99 ] && { [ "$(rank "$to")" -gt "$(rank "$from")" ] ||
    { [ "$from" != "$to" ] && [ "$(rank "$to")" -eq "$(rank "$from")" ]; }; }; then
    echo "check_layers: $file includes $included, a layer above or beside it" >&2
    bad=1
  fi
done < <(cd "$root" && grep -rnE '^#include "' platform tree cleanup log ui --include='*.h' --include='*.cpp' |
  sed -E 's/^([^:]+):[0-9]+:/\1:/')
[ "$bad" -eq 0 ] && echo "check_layers: dependencies point down only"
exit "$bad"
