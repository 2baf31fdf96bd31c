#!/usr/bin/env bash
# Checks that every library includes headers only of its own layer or of the layers below it
# (docs/ARCHITECTURE.md, "Dependencies"), and that no library without a user interface includes
# one of the ui/ folders. Prints each offending include; exits 1 if there is one.
set -uo pipefail
cd "$(dirname "$0")/../src"

# The folders each area may include besides its own.
declare -A below=(
  [base]="" [widgets]="" [imaging]="base"
  [plans]="base imaging" [printing]="base imaging"
  [viewing]="base imaging plans" [compare]="base imaging plans"
  [measure]="base imaging plans viewing"
  [host]="base widgets imaging plans printing viewing compare measure"
)
# The viewer host's pure part (links, hand-over, untrusted calls) sits right above the base.
host_pure="base"

status=0
for area in "${!below[@]}"; do
  while IFS=: read -r file line text; do
    allowed=" $area ${below[$area]} "
    [[ "$area" == host && "$file" != */ui/* ]] && allowed=" host $host_pure "
    used=$(sed -E 's/.*#include "([a-z_]+)\/.*/\1/' <<<"$text")
    if [[ "$allowed" != *" $used "* ]]; then
      echo "src/$file:$line: $area includes $used (a layer above it): $text"; status=1
    elif [[ "$text" == *'/ui/'* && "$file" != */ui/* ]]; then
      echo "src/$file:$line: a library without a user interface includes one: $text"; status=1
    fi
  done < <(grep -rnE '^#include "[a-z_]+/' "$area" --include='*.h' --include='*.cpp')
done
exit $status
