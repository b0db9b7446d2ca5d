#!/usr/bin/env bash
# Saved scans on the command line: --from gives the report of the disk (every link counted)
# from dscp-report's, ncdu's and gdu's exports of one tree, in every format; --compare finds
# exactly the changes the test makes; bad uses and bad files exit as documented.
#   saved_scan_test.sh PROGRAM
set -uo pipefail

program=$1
work=$(mktemp -d /tmp/dscp-saved-scan-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

missing=()
for tool in ncdu gdu; do command -v "$tool" >/dev/null || missing+=("$tool"); done
if [ ${#missing[@]} -ne 0 ]; then
  echo "FAIL: not installed: ${missing[*]} (apt-get install ncdu gdu)" >&2
  exit 1
fi

tree=$work/tree
mkdir -p "$tree/big/inner" "$tree/small" "$tree/empty" "$tree/Ελληνικά" "$tree/links"
head -c 3145728 /dev/zero >"$tree/big/inner/data"
head -c 2000 /dev/zero >"$tree/small/a"
head -c 2000 /dev/zero >"$tree/small/b"
head -c 1024 /dev/zero >"$tree/notes.TXT"
printf 'ok' >"$tree/Ελληνικά/αρχείο.txt"
printf 'say' >"$tree/with \"quote\", comma"
: >"$tree/zero"
ln "$tree/big/inner/data" "$tree/links/again"
ln -s big "$tree/to-big"
truncate -s 1G "$tree/sparse"
# gdu gives a folder the time of the latest change beneath it: everything in "small" is older.
touch -d '2020-02-03 04:05:06' "$tree/small/a" "$tree/small/b" "$tree/small" "$tree/zero"

# The oracles' exports, and our own.
ncdu --ignore-config -e -o "$work/ncdu.json" "$tree" 2>/dev/null || fail "ncdu -e -o"
gdu -o "$work/gdu.json" "$tree" >/dev/null 2>&1 || fail "gdu -o"
"$program" --json -o "$work/dscp.json" "$tree" 2>/dev/null || fail "dscp-report --json"

# Every report from each export is the disk's, counting every link.
for report in "" "--csv" "--top 4" "--types" "--csv --top 4" "--csv --types" "--exact"; do
  # shellcheck disable=SC2086
  "$program" --count-links $report "$tree" >"$work/disk.out" 2>"$work/disk.err"
  for source in dscp ncdu gdu; do
    # shellcheck disable=SC2086
    "$program" $report --from "$work/$source.json" >"$work/from.out" 2>"$work/from.err"
    status=$?
    [ "$status" -eq 0 ] || fail "--from $source.json $report exited with $status: $(cat "$work/from.err")"
    cmp -s "$work/disk.out" "$work/from.out" ||
      fail "--from $source.json $report: $(diff "$work/disk.out" "$work/from.out" | head -6)"
    cmp -s "$work/disk.err" "$work/from.err" ||
      fail "--from $source.json $report, status: $(diff "$work/disk.err" "$work/from.err")"
  done
done
# A saved scan exported again is the same scan, taken when it was taken.
sed '1s/"timestamp":[0-9]*/"timestamp":1500000000/' "$work/dscp.json" >"$work/then.json"
"$program" --json --from "$work/then.json" 2>/dev/null >"$work/again.json"
cmp -s "$work/then.json" "$work/again.json" || fail "--json --from changes the scan"

# --- --compare: a tree changed as the test knows
before=$work/before.json
"$program" --json -o "$before" "$tree" 2>/dev/null
head -c 5000000 /dev/zero >>"$tree/big/inner/data"    # grown (and its second name)
head -c 500 /dev/zero >"$tree/small/a"                  # shrunk, in a folder that shrinks
mv "$tree/notes.TXT" "$tree/notes.txt"                  # renamed: gone and new
rm "$tree/zero"                                         # removed
mv "$tree/empty" "$tree/links/empty"                    # moved: gone here
mkdir "$tree/added" && head -c 7000 /dev/zero >"$tree/added/x" # added
"$program" --csv --compare "$before" "$tree" >"$work/compare.csv" 2>"$work/compare.err" ||
  fail "--compare exited with $?: $(cat "$work/compare.err")"
want=$(printf '%s\n' \
  "big,grown,5000000" "links,grown,5000000" "added,new,7000" \
  "notes.txt,new,1024" "empty,gone,0" "sparse,same,0" "to-big,same,0" \
  "with \"\"quote\"\", comma,same,0" "zero,gone,0" "Ελληνικά,same,0" "notes.TXT,gone,-1024" "small,shrunk,-1500")
got=$(python3 - "$work/compare.csv" <<'PY'
import csv, sys
rows = list(csv.reader(open(sys.argv[1], newline='', encoding='utf-8')))
assert rows[0][-2:] == ['Change', 'Status'], rows[0]
for r in rows[1:]:
    name = r[0].replace('"', '""')
    print('%s,%s,%s' % (name, r[8], r[7]))
PY
)
[ "$got" = "$want" ] || fail "--compare --csv rows (name,status,change):
$(diff <(echo "$want") <(echo "$got"))"
# The text report: the same rows with the Change column, then the total difference.
"$program" --compare "$before" "$tree" >"$work/compare.txt" 2>/dev/null
grep -qE '^big +.* \+4\.8 MB$' "$work/compare.txt" || fail "text: big's change: $(cat "$work/compare.txt")"
grep -qE '^notes\.TXT .* gone$' "$work/compare.txt" || fail "text: gone row"
grep -qE '^Total: \+9\.5 MB \(.* then, .* now\)$' "$work/compare.txt" || fail "text: total line: $(tail -1 "$work/compare.txt")"
# Two saved scans compare as a scan and the disk do.
"$program" --json -o "$work/after.json" "$tree" 2>/dev/null
"$program" --csv --compare "$before" "$work/after.json" 2>/dev/null | cmp -s - "$work/compare.csv" ||
  fail "--compare OLD NEW.json differs from --compare OLD FOLDER"

# --- usage errors (2) and files that are not scans (1)
for args in "-x --from $work/dscp.json" "--threads 2 --from $work/dscp.json" \
  "--from $work/dscp.json $tree" "--compare $before --top 3" "--compare $before --from $before"; do
  # shellcheck disable=SC2086
  "$program" $args >/dev/null 2>&1
  status=$?
  [ "$status" -eq 2 ] || fail "$args exited with $status, not 2"
done
printf '[1,2,{},\n[{"name":"/r"},\n[{"name":"shut","read_error":true}]]]\n' >"$work/unread.json"
"$program" --from "$work/unread.json" >/dev/null 2>"$work/unread.err"
status=$?
[ "$status" -eq 1 ] && grep -q '^dscp-report: /r/shut was not read whole' "$work/unread.err" ||
  fail "a scan with a read error exited with $status: $(cat "$work/unread.err")"
printf '[1,2,{},\n[{"name":"/r"},\n{"name":"a","asize":-5}]]\n' >"$work/bad.json"
"$program" --from "$work/bad.json" >/dev/null 2>"$work/bad.err"
status=$?
[ "$status" -eq 1 ] && grep -q 'line 3, byte 21: a negative size' "$work/bad.err" ||
  fail "a bad file exited with $status: $(cat "$work/bad.err")"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
