#!/usr/bin/env bash
# End-to-end test of the dscp-report program: the real binary on a real tree.
#   dscp_report_test.sh PROGRAM [EMULATOR...]
# With an emulator (the Windows build under Wine) paths are handed over as Z:\... .
set -uo pipefail

program=$1
shift
emulator=("$@")

work=$(mktemp -d /tmp/dscp-report-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# The path as the program takes it.
native() {
  if [ ${#emulator[@]} -eq 0 ]; then printf '%s' "$1"; else printf 'Z:%s' "${1//\//\\}"; fi
}

run() {
  "${emulator[@]}" "$program" "$@" >"$work/out" 2>"$work/err"
  status=$?
  tr -d '\r' <"$work/out" >"$work/stdout"
  # Only the program's own lines: Wine and X may add theirs to standard error.
  tr -d '\r' <"$work/err" |
    grep -E '^(dscp-report: |usage: |[0-9]+ directory, |[0-9]+ bytes, )' >"$work/stderr"
}

tree=$work/tree
mkdir -p "$tree/big/inner" "$tree/small" "$tree/empty"
head -c 3145728 /dev/zero >"$tree/big/inner/data"
head -c 2000 /dev/zero >"$tree/small/a"
head -c 1024 /dev/zero >"$tree/notes.txt"
: >"$tree/zero"
: >"$tree/αβγ.txt"
: >"$tree/中文.doc"

# --- the report on standard output, the status line on standard error
run "$(native "$tree")"
[ "$status" -eq 0 ] || fail "listing exited with $status"
sed -n 1p "$work/stdout" | grep -qxF "Path: $(native "$tree")" || fail "path line: $(sed -n 1p "$work/stdout")"
[ "$(sed -n 4p "$work/stdout")" = "$(printf '=%.0s' $(seq 108))" ] || fail "rule line"
names=$(tail -n +5 "$work/stdout" | awk '{print $1}' | tr '\n' ' ')
[ "$names" = "big small notes.txt empty zero αβγ.txt 中文.doc " ] || fail "row order: $names"
grep -qE '^big +3\.0 MB .* +1 +1$' "$work/stdout" || fail "big row: $(grep '^big' "$work/stdout")"
grep -qE '^small +2\.0 KB .* +0 +1$' "$work/stdout" || fail "small row: $(grep '^small' "$work/stdout")"
[ "$(cat "$work/stderr")" = "3 directory, 4 files, Total Size:3.0 MB" ] || fail "status: $(cat "$work/stderr")"

run --exact "$(native "$tree")"
[ "$(sed -n 2p "$work/stderr")" = "3148752 bytes, 4 folders, 6 files beneath" ] || fail "--exact: $(cat "$work/stderr")"

# --- the other formats: the JSON export's files and the CSV's rows, on either system
run --json "$(native "$tree")"
[ "$status" -eq 0 ] || fail "--json exited with $status"
python3 - "$work/out" <<'EOF' || fail "--json: $(head -c 300 "$work/out")"
import json, sys
doc = json.loads(open(sys.argv[1], 'rb').read().decode('utf-8'))
def files(node):
    if isinstance(node, list):
        return [f for child in node[1:] for f in files(child)]
    return [(node['name'], node['asize'])]
found = sorted(files(doc[3]))
assert doc[:2] == [1, 2] and doc[2]['progname'] == 'dscp', doc[:3]
assert found == sorted([('data', 3145728), ('a', 2000), ('notes.txt', 1024), ('zero', 0),
                        ('αβγ.txt', 0), ('中文.doc', 0)]), found
EOF
run --csv -o - "$(native "$tree")"
[ "$(head -1 "$work/out")" = $'Name,Bytes,Size,Type,Modified,Folders,Files\r' ] || fail "--csv header: $(head -1 "$work/out")"
grep -q $'^big,3145728,3.0 MB,[^,]*,[-0-9T:]*,1,1\r$' "$work/out" || fail "--csv big row: $(grep '^big' "$work/out")"
[ "$(wc -l <"$work/out")" -eq 8 ] || fail "--csv: $(wc -l <"$work/out") lines"

# --- a folder named with "." and ".." parts and a trailing separator
run "$(native "$tree/./small/../")"
sed -n 1p "$work/stdout" | grep -qxF "Path: $(native "$tree")" || fail "normalised path line: $(sed -n 1p "$work/stdout")"

# --- -o writes the same report with CR LF line ends
run -o "$(native "$work/report.txt")" "$(native "$tree")"
[ "$status" -eq 0 ] || fail "-o exited with $status"
[ -s "$work/report.txt" ] || fail "-o wrote nothing"
if [ "$(grep -c $'\r$' "$work/report.txt")" -ne "$(wc -l <"$work/report.txt")" ]; then
  fail "-o: not every line ends in CR LF"
fi
run "$(native "$tree")"
diff <(tr -d '\r' <"$work/report.txt") "$work/stdout" >/dev/null || fail "-o differs from standard output"
[ -s "$work/stdout" ] || fail "report empty"

# --- a folder that holds nothing
run "$(native "$tree/empty")"
[ "$status" -eq 0 ] || fail "empty folder exited with $status"
[ "$(wc -l <"$work/stdout")" -eq 4 ] || fail "empty folder: $(wc -l <"$work/stdout") lines"
[ "$(cat "$work/stderr")" = "0 directory, 0 files" ] || fail "empty status: $(cat "$work/stderr")"

# --- bad input
run "$(native "$work/missing")"
[ "$status" -eq 1 ] || fail "missing folder exited with $status"
[ "$(wc -l <"$work/stderr")" -eq 1 ] && grep -q 'missing: No such file or directory$' "$work/stderr" || fail "missing folder message: $(cat "$work/stderr")"
[ -s "$work/stdout" ] && fail "missing folder printed a report"

run "$(native "$tree/notes.txt")"
[ "$status" -eq 1 ] || fail "a file as folder exited with $status"

# An output that cannot be made: the system's reason, in every format
for format in "" --csv --json; do
  # shellcheck disable=SC2086
  run $format -o "$(native "$work/no/such/dir/r.txt")" "$(native "$tree")"
  [ "$status" -eq 1 ] || fail "unwritable output ($format) exited with $status"
  grep -q '^dscp-report: cannot write .*r\.txt: No such file or directory$' "$work/stderr" || fail "unwritable output ($format): $(cat "$work/stderr")"
done

# An existing file is replaced by the new report, and its name holds nothing else after
printf 'old\n' >"$work/again.csv"
run --csv -o "$(native "$work/again.csv")" "$(native "$tree")"
[ "$status" -eq 0 ] && grep -q '^big,' "$work/again.csv" || fail "replacing a file: exit $status, $(head -c 200 "$work/again.csv")"
ls "$work" | grep -q 'again.*part' && fail "replacing a file left $(ls "$work")"
# The null device is written as it is
null=/dev/null
[ ${#emulator[@]} -eq 0 ] || null=NUL
run --json -o "$null" "$(native "$tree")"
[ "$status" -eq 0 ] || fail "-o $null exited with $status: $(cat "$work/stderr")"

run -o "" "$(native "$tree")"
[ "$status" -eq 2 ] || fail "-o \"\" exited with $status"
[ -s "$work/stdout" ] && fail "-o \"\" printed a report"

for args in "-y" "--json --csv" "--bogus" "a b" "-o" "--top 0" "--top -3" "--top x" "--top" \
  "--top 2 --types" "--types --json"; do
  # shellcheck disable=SC2086
  run $args
  [ "$status" -eq 2 ] || fail "'$args' exited with $status"
  grep -q '^usage: dscp-report' "$work/stderr" || fail "'$args' printed no usage"
done

# --- --top and --types against find, sorted and grouped here
q=$work/query
mkdir -p "$q/one/two" "$q/.hidden" "$q/three"
for spec in "one/a.JPG 4096" "one/two/b.jpg 4096" "c.tar.gz 4096" ".bashrc 4096" "three/README 70" \
  ".hidden/x.cfg.YML 9000" "one/two/.profile 1" "Notes.MD 5" "three/v.1.2.txt 4096" "e 0"; do
  head -c "${spec##* }" /dev/zero >"$q/${spec% *}"
done
find "$q" -type f -printf '%s %P\n' | LC_ALL=C sort -k1,1nr -k2,2 >"$work/found"
for n in 1 4 10 20; do
  run --csv --top "$n" "$(native "$q")"
  [ "$status" -eq 0 ] || fail "--top $n exited with $status"
  got=$(tail -n +2 "$work/stdout" | cut -d, -f1,2 | tr '\\' /)
  want=$(head -n "$n" "$work/found" | awk '{print $2 "," $1}')
  [ "$got" = "$want" ] || fail "--top $n: $got"
done
run --top 2 "$(native "$q")"
[ "$(sed -n 3p "$work/stdout" | awk '{print $1, $2, $3}')" = "Path Size Type" ] || fail "--top titles: $(sed -n 3p "$work/stdout")"
[ "$(tail -n +5 "$work/stdout" | awk '{print $1}' | tr '\\' / | tr '\n' ' ')" = ".hidden/x.cfg.YML .bashrc " ] || fail "--top rows: $(cat "$work/stdout")"
run --csv --types "$(native "$q")"
want=$(find "$q" -type f -printf '%s %f\n' | awk '{
    n = $2; i = match(n, /\.[^.]*$/); e = (i > 1 && RSTART < length(n)) ? tolower(substr(n, i + 1)) : "(none)"
    b[e] += $1; f[e]++; t += $1 }
  END { for (e in b) printf "%s,%d,%.1f,%d\n", e, b[e], 100 * b[e] / t, f[e] }' | LC_ALL=C sort -t, -k2,2nr -k1,1)
got=$(tail -n +2 "$work/stdout" | cut -d, -f1,3,5,6)
[ "$(sed -n 1p "$work/stdout")" = "Extension,Type,Bytes,Size,Share,Files" ] || fail "--types header"
[ "$got" = "$want" ] || fail "--types: $got"$'\n'"instead of: $want"

# --- what only a POSIX system shows: names with control characters, links, permissions
if [ ${#emulator[@]} -eq 0 ]; then
  odd=$work/odd
  mkdir -p "$odd/real/inner" "$odd/elsewhere"
  : >"$odd/real/inner/x"
  : >"$odd/new"$'\n'"line"
  : >"$odd/esc"$'\e'"[2J"
  run "$odd"
  [ "$(wc -l <"$work/stdout")" -eq 8 ] || fail "control characters: $(wc -l <"$work/stdout") lines"
  grep -q '^new?line ' "$work/stdout" && grep -q '^esc?\[2J ' "$work/stdout" || fail "control characters not shown as ?"
  LC_ALL=C grep -q $'\e' "$work/out" && fail "an escape reached the report"

  # ".." after a link is the parent of the link's target, as the system opens it
  ln -s "$odd/real/inner" "$odd/elsewhere/link"
  run "$odd/elsewhere/link/.."
  sed -n 1p "$work/stdout" | grep -qxF "Path: $odd/real" || fail "link/..: $(sed -n 1p "$work/stdout")"
  [ "$(tail -n +5 "$work/stdout" | awk '{print $1}')" = "inner" ] || fail "link/.. listed $(tail -n +5 "$work/stdout")"

  # Parts that cannot be read: each named with its reason, the rest reported, exit 1
  as_user=()
  [ "$(id -u)" -eq 0 ] && as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  locked=$work/locked
  mkdir -p "$locked/deep/shut" "$locked/deep/listonly" "$locked/open"
  head -c 700 /dev/zero >"$locked/open/a"
  head -c 700 /dev/zero >"$locked/deep/shut/b"
  head -c 700 /dev/zero >"$locked/deep/listonly/c"
  chmod 000 "$locked/deep/shut"
  chmod 444 "$locked/deep/listonly"
  chmod 755 "$work"
  "${as_user[@]}" "$program" --exact -o /dev/null "$locked" >/dev/null 2>"$work/stderr"
  status=$?
  chmod 755 "$locked/deep/shut" "$locked/deep/listonly"
  [ "$status" -eq 1 ] || fail "unreadable parts exited with $status"
  grep -qxF "dscp-report: cannot read $locked/deep/listonly/c: Permission denied" "$work/stderr" || fail "unreadable file not named: $(cat "$work/stderr")"
  grep -qxF "dscp-report: cannot read $locked/deep/shut: Permission denied" "$work/stderr" || fail "unreadable folder not named: $(cat "$work/stderr")"
  grep -qxF "700 bytes, 4 folders, 2 files beneath, 2 could not be read" "$work/stderr" || fail "--exact with unreadable parts: $(cat "$work/stderr")"
fi

# --- one folder met twice counts once: under Wine a Unix link to a folder is a plain folder
# (here one beside its target and one back up to the listed folder, a loop); natively a link
# is not followed, and is a file of its own
twice=$work/twice
mkdir -p "$twice/real/deeper"
head -c 300000 /dev/zero >"$twice/real/deeper/data"
ln -s "$twice/real" "$twice/again"
ln -s "$twice" "$twice/real/up"
run --exact "$(native "$twice")"
want=300000
[ ${#emulator[@]} -eq 0 ] && want=$((300000 + ${#twice} + 5 + ${#twice}))
[ "$status" -eq 0 ] && grep -q "^$want bytes, " "$work/stderr" || fail "a folder met twice (exit $status): $(cat "$work/stderr")"

run --help
[ "$status" -eq 0 ] && grep -q '^usage:' "$work/stdout" || fail "--help"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "all dscp-report checks passed"
