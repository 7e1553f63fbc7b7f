#!/usr/bin/env bash
# plotwell's command line run as a process: usage and exit codes, and that a conversion never
# destroys a file, whatever happens to it (refusal, failure, a kill, a race, a changing input).
set -u
plotwell=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/plotwell-cli.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# expect CODE DESCRIPTION -- COMMAND...: runs it, keeping its output in out.txt and err.txt.
expect() {
    local code=$1 what=$2
    shift 3
    "$@" </dev/null >"$work/out.txt" 2>"$work/err.txt"
    local got=$?
    [ "$got" = "$code" ] || fail "$what: exit $got, expected $code; stderr: $(head -c 400 "$work/err.txt")"
}
contains() { grep -qF -- "$2" "$1" || fail "$1 lacks \"$2\": $(head -c 400 "$1")"; }
# Nothing in the folder but the files named: no partial output, no stray temporary file.
only_files() {
    local listed expected
    listed=$(ls -A | grep -v -e '^out.txt$' -e '^err.txt$' | sort | tr '\n' ' ')
    expected=$(printf '%s\n' "$@" | sort | tr '\n' ' ')
    [ "$listed" = "$expected" ] || fail "folder holds [$listed], expected [$expected]"
}

# --- usage ---------------------------------------------------------------------------------
for command in "" convert request render; do
    expect 0 "plotwell $command --help" -- env -u DISPLAY -u WAYLAND_DISPLAY "$plotwell" $command --help
    contains out.txt "Usage: plotwell"
done
for arguments in "--bogus" "import team.csv" "convert --bogus" "request --bogus" "render --bogus" \
    "convert --to yaml a.csv -o b"; do
    # Without a display a window would abort: exit 2 shows none was tried.
    expect 2 "plotwell $arguments" -- env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
        "$plotwell" $arguments
    contains err.txt "sage: plotwell"
done
expect 1 "the window without a display" -- env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$plotwell"
[ "$(wc -l <err.txt)" = 1 ] || fail "no-display message is not one line: $(cat err.txt)"
contains err.txt "no display"
# --verbose is the window's, wherever it stands; what else is given is checked as without it.
expect 1 "the window with --verbose" -- env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
    "$plotwell" --verbose
contains err.txt "no display"
expect 2 "--verbose and two files" -- env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
    "$plotwell" --verbose a.csv b.csv
contains err.txt "one file at a time"
expect 2 "--verbose and a bogus option" -- env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
    "$plotwell" a.csv --verbose --bogus
contains err.txt 'unknown option "--bogus"'

# --- conversions ---------------------------------------------------------------------------
printf 'Name,City\nJosé,Köln\nAda,"Lon\ndon"\n' >team.csv
cp team.csv team.orig
expect 0 "SQL with --table" -- "$plotwell" convert --to sql team.csv -o team.sql --table staff
contains err.txt "2 record(s) written to team.sql"
contains team.sql 'CREATE TABLE IF NOT EXISTS `staff`'
for format in json xml html; do
    expect 0 "to $format" -- "$plotwell" convert --to $format team.csv -o team.$format
done
python3 -c 'import json,sys; d=json.load(open("team.json")); sys.exit(len(d["items"]) != 2)' ||
    fail "team.json is not the two records"

# The output is the input, however it is spelled: refused, the input untouched.
ln -s team.csv link.csv
ln team.csv hard.csv
for spelled in team.csv ./team.csv "$work/team.csv" link.csv hard.csv "$work/./link.csv"; do
    expect 2 "output spelled $spelled" -- "$plotwell" convert --to json team.csv -o "$spelled"
    contains err.txt "is the file being converted"
    cmp -s team.csv team.orig || fail "team.csv changed by -o $spelled"
done
rm link.csv hard.csv

# A failed conversion keeps what was there, and leaves nothing beside it.
echo previous >out.json
cp out.json out.orig
printf 'a,b\n"1\n1",2\n"x"y,3\n4,5\n' >broken.csv # record 3 starts on line 4
: >empty.csv
while IFS='|' read -r input output message; do
    expect 1 "$input to $output" -- "$plotwell" convert --to json "$input" -o "$output"
    contains err.txt "$message"
done <<'CASES'
missing.csv|out.json|Could not read "missing.csv"
broken.csv|out.json|record 3 (line 4)
empty.csv|out.json|no column names
team.csv|missing/out.json|Could not write
CASES
cmp -s out.json out.orig || fail "a failed conversion changed out.json"
only_files team.csv team.orig team.sql team.json team.xml team.html out.json out.orig broken.csv \
    empty.csv

# --- a large file: killed, raced, changed while read ---------------------------------------
python3 - <<'PY'
row = "".join(f"{i},Name {i},Department {i % 97},\"Quoted, {i}\",{i * 7}\n" for i in range(50000))
with open("big.csv", "w") as f:
    f.write("id,name,dept,note,value\n")
    for _ in range(80):  # about 200 MB
        f.write(row)
PY
# Waits until process $1 has read past $2 bytes of big.csv; false once it has ended.
read_past() {
    local pid=$1 least=$2 fd pos
    while kill -0 "$pid" 2>/dev/null; do
        for fd in /proc/"$pid"/fd/*; do
            [ "$(readlink "$fd" 2>/dev/null)" = "$work/big.csv" ] || continue
            pos=$(awk '/^pos:/ {print $2}' /proc/"$pid"/fdinfo/"${fd##*/}" 2>/dev/null)
            [ "${pos:-0}" -gt "$least" ] && return 0
        done
    done
    return 1
}

"$plotwell" convert --to json big.csv -o out.json 2>/dev/null &
pid=$!
if read_past $pid 20000000; then
    kill -KILL $pid
    wait $pid 2>/dev/null
    cmp -s out.json out.orig || fail "a killed conversion changed out.json"
else
    fail "the conversion ended before it could be killed"
fi
expect 0 "the run after a kill" -- "$plotwell" convert --to json team.csv -o out.json
only_files team.csv team.orig team.sql team.json team.xml team.html out.json out.orig broken.csv \
    empty.csv big.csv

# Two conversions onto one output: both end, and one of them is the file, whole.
head -c 20000000 big.csv | sed '$d' >medium.csv
records=$(($(wc -l <medium.csv) - 1))
"$plotwell" convert --to json medium.csv -o race.json 2>race1.txt &
first=$!
"$plotwell" convert --to json medium.csv -o race.json 2>race2.txt &
second=$!
wait $first || fail "the first of two racing conversions failed: $(cat race1.txt)"
wait $second || fail "the second of two racing conversions failed: $(cat race2.txt)"
python3 -c "import json,sys; sys.exit(len(json.load(open('race.json'))['items']) != $records)" ||
    fail "race.json is not one whole conversion"

# An input cut short while it is read fails, keeping the previous output.
cp out.json out.before
"$plotwell" convert --to json big.csv -o out.json 2>cut.txt &
pid=$!
if read_past $pid 20000000; then
    truncate -s 30000000 big.csv
    wait $pid
    [ $? = 1 ] || fail "a conversion of an input cut short did not fail"
    contains cut.txt "changed while it was read"
    cmp -s out.json out.before || fail "a failed conversion of a changing input changed out.json"
else
    fail "the conversion ended before its input could be cut"
fi

[ $failures = 0 ] && echo "all command line checks passed"
exit $((failures > 0))
