#!/usr/bin/env bash
# Mutation sample: how many deliberate faults do the tests catch?
#
# Each line of the sample (scripts/mutants.tsv) names one fault: an id, the source file's name
# (found anywhere under src/, app/ or tools/, so moving folders keeps the sample valid), a piece
# of code that occurs exactly once in that file, and what it becomes. For every fault the script
# puts it in, builds, runs the whole test suite, and puts the code back; a fault is "caught" when
# at least one test fails. The sample is run in a build tree of its own (build-mutation/), so the
# normal build is left alone.
#
#   scripts/mutation-sample.sh                 # every fault; results on stdout and in
#                                              # build-mutation/mutation-results.tsv
#   scripts/mutation-sample.sh --only ID...    # just these faults
#   scripts/mutation-sample.sh --check         # only check that every fault applies once
#   scripts/mutation-sample.sh --compile       # check that every fault applies and builds
#   scripts/mutation-sample.sh --quick         # stop each run at the first failing test
#
# Without --quick every fault runs the whole suite, and the results name every test that caught
# it: a test whose faults all other tests catch too adds nothing to the sample.
#
# Faults that no longer apply (the code moved on) are reported as "missing" and counted apart;
# faults that do not compile are "uncompiled". Both are reasons to update the sample, not results.
set -uo pipefail
cd "$(dirname "$0")/.."
top=$PWD

list=scripts/mutants.tsv
build=build-mutation
check_only=0
compile_only=0
quick=()
only=()
while [ $# -gt 0 ]; do
  case "$1" in
    --check) check_only=1 ;;
    --compile) compile_only=1 ;;
    --quick) quick=(--stop-on-failure) ;;
    --only) shift; while [ $# -gt 0 ] && [[ "$1" != --* ]]; do only+=("$1"); shift; done; continue ;;
    --list) shift; list=$1 ;;
    --build) shift; build=$1 ;;
    -h|--help) sed -n '2,24p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "mutation-sample: unknown argument $1" >&2; exit 2 ;;
  esac
  shift
done

# The file holding a fault: the one tracked source file of that name.
locate() {
  git ls-files -- src app tools | grep -E "(^|/)$1\$"
}

# Replaces the single occurrence of $2 by $3 in file $1; prints how many occurrences there were.
apply() {
  FROM=$2 TO=$3 perl -0777 -i -pe '
    my $n = () = /\Q$ENV{FROM}\E/g;
    print STDERR "$n\n";
    s/\Q$ENV{FROM}\E/$ENV{TO}/ if $n == 1;' "$1" 2>&1 >/dev/null
}

if [ "$check_only" -eq 0 ] && [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 2
fi

results=$build/mutation-results.tsv
[ "$check_only" -eq 1 ] || { mkdir -p "$build"; : >"$results"; }
caught=0 survived=0 missing=0 uncompiled=0 total=0

backup=""
restore() { [ -n "$backup" ] && [ -f "$backup" ] && cp "$backup" "$target" && rm -f "$backup"; backup=""; }
trap 'restore; exit 130' INT TERM

while IFS=$'\t' read -r id file from to; do
  [ -z "$id" ] || [[ "$id" == \#* ]] && continue
  if [ ${#only[@]} -gt 0 ] && [[ ! " ${only[*]} " == *" $id "* ]]; then continue; fi
  total=$((total + 1))
  # The sample writes \t and \n as escapes so that a fault can span lines.
  from=$(printf '%b' "$from"); to=$(printf '%b' "$to")
  target=$(locate "$file")
  if [ "$(echo "$target" | grep -c .)" -ne 1 ]; then
    verdict=missing; detail="file $file found $(echo "$target" | grep -c .) times"
  else
    backup=$(mktemp)
    cp "$target" "$backup"
    n=$(apply "$target" "$from" "$to")
    if [ "$n" != 1 ]; then
      verdict=missing; detail="code found $n times in $target"
    elif [ "$check_only" -eq 1 ]; then
      verdict=applies; detail=$target
    elif ! cmake --build "$build" >"$build/mutant-build.log" 2>&1; then
      verdict=uncompiled; detail=$target
    elif [ "$compile_only" -eq 1 ]; then
      verdict=compiles; detail=$target
    else
      # Every failing test, by name, joined with "; ".
      failed=$(ctest --test-dir "$build" -j "$(nproc)" --timeout 180 "${quick[@]}" 2>&1 \
        | grep -E '^\s*[0-9]+ - ' | sed -E 's/^\s*[0-9]+ - //; s/ \([A-Za-z ]+\)$//' \
        | paste -sd ';' | sed 's/;/; /g')
      if [ -n "$failed" ]; then verdict=caught; detail=$failed
      else
        verdict=survived; detail=$target
      fi
    fi
    restore
  fi
  case $verdict in
    caught|compiles|applies) caught=$((caught + 1)) ;; survived) survived=$((survived + 1)) ;;
    missing) missing=$((missing + 1)) ;; uncompiled) uncompiled=$((uncompiled + 1)) ;;
  esac
  printf '%s\t%s\t%s\n' "$id" "$verdict" "$detail"
  [ "$check_only" -eq 1 ] || printf '%s\t%s\t%s\n' "$id" "$verdict" "$detail" >>"$results"
done <"$list"

# Leave the build matching the sources again.
[ "$check_only" -eq 1 ] || cmake --build "$build" >/dev/null 2>&1
if [ "$check_only" -eq 1 ] || [ "$compile_only" -eq 1 ]; then
  echo "total $total: ready $caught, missing $missing, uncompiled $uncompiled"
else
  echo "total $total: caught $caught, survived $survived, missing $missing, uncompiled $uncompiled"
fi
[ "$missing" -eq 0 ] && [ "$uncompiled" -eq 0 ]
