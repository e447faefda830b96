#!/usr/bin/env bash
# Plants the deliberate faults of tools/mutants.txt one at a time, builds the
# normal build and runs the normal test pass (as tools/test-all.sh's first
# pass, under Xvfb) on each, and tells which tests caught which fault.
#
# Usage: tools/mutation-sample.sh [-c] [-n] [-t SECONDS] [-o DIR] [-f TABLE]
#                                 [-l LABEL] [-b TARGETS] [ID...]
#   ID...       only these faults (default: all of them)
#   -f TABLE    the faults' table (default tools/mutants.txt)
#   -l LABEL    only the tests of this label (e.g. unit), not the whole pass
#   -b TARGETS  build only these targets (space-separated), not everything
#   -c          only check that every fault's text is found exactly once
#   -n          skip the run on the unchanged tree (its failures are then not
#               told apart from the faults')
#   -t SECONDS  ctest's timeout per test (default 180: a fault that hangs a
#               test costs that long)
#   -o DIR      where the results go (default build/mutation)
# Runs on the host; builds and tests run in the build environment (dev.sh).
#
# A test counts as catching a fault when it fails, and fails again when the
# failed tests are run once more (a test that passes the second time is
# listed as flaky, not as a catch). Tests that fail on the unchanged tree are
# left out. A fault that does not build is "not compiled", not caught. The
# planted file is always copied back, also on interruption; nothing else in
# the working tree is touched. The sanitizer pass is not run; ApiReference
# (documentation warnings) is left out, as no fault in a function body can
# change it.
#
# Results: DIR/results.tsv (id, file, kind, result, failing tests,
# description), DIR/kills.tsv (test, faults it caught), DIR/summary.txt, and
# the build and test output of every fault in DIR/logs/.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

table=tools/mutants.txt
out=build/mutation
timeout=180
clean_run=1
check_only=0
label=""
targets=""
while getopts "cnt:o:f:l:b:" option; do
  case "$option" in
    c) check_only=1 ;;
    n) clean_run=0 ;;
    t) timeout="$OPTARG" ;;
    o) out="$OPTARG" ;;
    f) table="$OPTARG" ;;
    l) label="$OPTARG" ;;
    b) targets="$OPTARG" ;;
    *) sed -n '5,18p' "$0" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
mkdir -p "$out/logs"
out="$(cd "$out" && pwd)"

die() { echo "mutation-sample: $*" >&2; exit 1; }

# Replaces the one occurrence of FIND in FILE by REPLACE (both with \n and \\
# escapes); with CHECK only counts. Exits 3 when FIND is not there exactly once.
substitute() {
  perl -e '
    use strict;
    my ($mode, $file, $find, $replace) = @ARGV;
    sub unescape { my $s = shift; $s =~ s/\\(n|\\)/$1 eq "n" ? "\n" : "\\"/ge; return $s; }
    $find = unescape($find);
    $replace = unescape($replace);
    open(my $in, "<", $file) or die "cannot read $file\n";
    local $/;
    my $text = <$in>;
    close($in);
    my ($count, $at) = (0, -1);
    for (my $i = index($text, $find); $i >= 0; $i = index($text, $find, $i + 1)) {
      $count++;
      $at = $i;
    }
    if ($count != 1) { print STDERR "found $count times\n"; exit 3; }
    exit 0 if $mode eq "check";
    substr($text, $at, length($find)) = $replace;
    open(my $o, ">", $file) or die "cannot write $file\n";
    print $o $text;
    close($o);
  ' "$@"
}

# The faults, checked before anything is built.
ids=() files=() kinds=() finds=() replaces=() descriptions=()
declare -A wanted=() left=()
for id in "$@"; do wanted[$id]=1 left[$id]=1; done
while IFS= read -r line; do
  # Split at tabs through a separator that is not white space, so that an
  # empty field (a replacement that deletes) stays a field.
  IFS=$'\x1f' read -r id file kind find replace description <<<"${line//$'\t'/$'\x1f'}"
  [[ -z "$id" || "$id" == \#* ]] && continue
  [ ${#wanted[@]} -eq 0 ] || [ -n "${wanted[$id]:-}" ] || continue
  [ -n "$description" ] || die "$id: the entry needs six tab-separated fields"
  [ -f "$file" ] || die "$id: no file $file"
  substitute check "$file" "$find" "$replace" 2>"$out/check.txt" ||
    die "$id: the text to find is not in $file exactly once ($(cat "$out/check.txt"))"
  ids+=("$id") files+=("$file") kinds+=("$kind") finds+=("$find")
  replaces+=("$replace") descriptions+=("$description")
  unset "left[$id]"
done <"$table"
rm -f "$out/check.txt"
[ ${#left[@]} -eq 0 ] || die "no such fault: ${!left[*]}"
[ ${#ids[@]} -gt 0 ] || die "no fault selected"
if [ "$check_only" = 1 ]; then
  echo "mutation-sample: ${#ids[@]} faults, each found exactly once"
  exit 0
fi

# The planted file's original, copied back whatever happens. Copied, not
# moved with its time stamp, so that the next build recompiles it.
backup="$out/original"
planted=""
restore() {
  if [ -n "$planted" ]; then
    cp "$backup" "$root/$planted"
    planted=""
  fi
}
trap restore EXIT
trap 'restore; exit 130' INT TERM HUP

build() {
  if [ -n "$targets" ]; then
    # shellcheck disable=SC2086 # one word per target
    ./dev.sh cmake --build build -j "$(nproc)" --target $targets >"$1" 2>&1
  else
    ./dev.sh tools/build.sh build >"$1" 2>&1
  fi
}

# One normal test pass, then the failed tests once more; prints the tests
# that failed both times, then (after a line "--") those that failed once.
run_tests() {
  local log="$1"
  ./dev.sh bash -c '
    export ALSA_CONFIG_PATH=/dev/null
    failed=build/Testing/Temporary/LastTestsFailed.log
    rm -f "$failed"
    xvfb-run -a -s "-screen 0 1920x1200x24 -noreset" \
      ctest --test-dir build --output-on-failure -j "$(nproc)" --timeout "$1" -E "^ApiReference$" "${@:2}"
    [ -f "$failed" ] || exit 0
    cp "$failed" "$failed.first"
    rm -f "$failed"
    xvfb-run -a -s "-screen 0 1920x1200x24 -noreset" \
      ctest --test-dir build --output-on-failure -j "$(nproc)" --timeout "$1" --rerun-failed \
        -E "^ApiReference$" "${@:2}"
    true' mutation "$timeout" ${label:+-L "$label"} >"$log" 2>&1 || true
  local first=build/Testing/Temporary/LastTestsFailed.log.first
  local second=build/Testing/Temporary/LastTestsFailed.log
  [ -f "$first" ] || { echo "--"; return; }
  [ -f "$second" ] || : >"$second"
  local name
  while IFS=: read -r _ name; do
    grep -qxF -- "$name" <(cut -d: -f2- "$second") && echo "$name"
  done <"$first"
  echo "--"
  while IFS=: read -r _ name; do
    grep -qxF -- "$name" <(cut -d: -f2- "$second") || echo "$name"
  done <"$first"
  rm -f "$first" "$second"
}

started=$(date +%s)
declare -A broken=()
if [ "$clean_run" = 1 ]; then
  echo "mutation-sample: the unchanged tree"
  build "$out/logs/clean-build.txt" || die "the unchanged tree does not build (see $out/logs/clean-build.txt)"
  mapfile -t clean < <(run_tests "$out/logs/clean-tests.txt")
  for name in "${clean[@]}"; do
    [ "$name" = "--" ] || broken[$name]=1
  done
  [ ${#broken[@]} -eq 0 ] ||
    echo "mutation-sample: failing without a fault, left out: ${!broken[*]}" | tee "$out/clean-failures.txt"
fi

printf 'id\tfile\tkind\tresult\tfailing tests\tdescription\n' >"$out/results.tsv"
declare -A kills=()
caught=0 missed=0 not_compiled=0
for i in "${!ids[@]}"; do
  id="${ids[$i]}" file="${files[$i]}"
  cp "$file" "$backup"
  planted="$file"
  substitute apply "$file" "${finds[$i]}" "${replaces[$i]}"
  t0=$(date +%s)
  if ! build "$out/logs/$id-build.txt"; then
    result="not compiled" failing=""
    not_compiled=$((not_compiled + 1))
  else
    grep -q "warning:" "$out/logs/$id-build.txt" && echo "mutation-sample: $id builds with a warning"
    mapfile -t failed < <(run_tests "$out/logs/$id-tests.txt")
    failing="" flaky="" past=0
    for name in "${failed[@]}"; do
      if [ "$name" = "--" ]; then past=1; continue; fi
      [ -z "${broken[$name]:-}" ] || continue
      if [ "$past" = 0 ]; then
        failing="${failing:+$failing, }$name"
        kills[$name]="${kills[$name]:+${kills[$name]} }$id"
      else
        flaky="${flaky:+$flaky, }$name"
      fi
    done
    if [ -n "$failing" ]; then
      result=caught
      caught=$((caught + 1))
    else
      result=missed
      missed=$((missed + 1))
    fi
    [ -z "$flaky" ] || failing="$failing${failing:+; }flaky: $flaky"
  fi
  restore
  printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$id" "$file" "${kinds[$i]}" "$result" "$failing" \
    "${descriptions[$i]}" >>"$out/results.tsv"
  echo "mutation-sample: $id $result ($(($(date +%s) - t0)) s) $failing"
done

# The build tree made from the unchanged sources again.
build "$out/logs/final-build.txt" || echo "mutation-sample: warning: the final rebuild failed" >&2

# Every test with the faults it caught, the ones that caught none included.
./dev.sh ctest --test-dir build -N -E "^ApiReference$" ${label:+-L "$label"} | sed -n 's/^ *Test *#[0-9]*: //p' |
  sort >"$out/tests.txt"
{
  printf 'test\tfaults caught\n'
  while read -r name; do
    printf '%s\t%s\n' "$name" "${kills[$name]:-}"
  done <"$out/tests.txt"
} >"$out/kills.tsv"

total=${#ids[@]}
elapsed=$(($(date +%s) - started))
{
  echo "caught $caught of $total ($((100 * caught / total)) %); missed $missed; not compiled $not_compiled"
  echo "tests that caught no fault: $(awk -F'\t' 'NR > 1 && $2 == ""' "$out/kills.tsv" | wc -l) of $(wc -l <"$out/tests.txt")"
  echo "took $((elapsed / 60)) min $((elapsed % 60)) s; $(uptime)"
} | tee "$out/summary.txt"
