#!/usr/bin/env bash
# dscp-report's other formats against the tools that read them: the JSON export opened by the
# real ncdu and gdu, next to their own scans of the same tree; the CSV read back by Python;
# hard links counted once; -x at a mount point.
#   report_formats_test.sh PROGRAM
set -uo pipefail

program=$1
work=$(mktemp -d /tmp/dscp-formats-test.XXXXXX)
mounted=()
cleanup() {
  for point in "${mounted[@]}"; do umount "$point"; done
  chmod -R u+rwx "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# The readers are the oracles: without them nothing here would be checked.
missing=()
for tool in ncdu gdu jdupes python3 du setpriv groff man; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -ne 0 ]; then
  echo "FAIL: not installed: ${missing[*]} (scripts/setup.sh installs them: apt-get install ncdu gdu jdupes python3 coreutils util-linux groff-base man-db)" >&2
  exit 1
fi

# Every scan runs as one user; as root that is nobody, for whom a folder without
# permissions is unreadable as it is for anyone else.
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$work")
fi
chmod 755 "$work"

tree=$work/tree
mkdir -p "$tree/with space" "$tree/links/one" "$tree/links/two" "$tree/links/three" \
  "$tree/deep/er/est" "$tree/Ελληνικά" "$tree/中文目录" "$tree/shut"
printf 'x%.0s' $(seq 1000) >"$tree/with space/say \"hi\", twice"
printf 'y%.0s' $(seq 300) >"$tree/back\\slash"
printf 'z' >"$tree/new"$'\n'"line"
printf 'bad' >"$tree/not utf8 "$'\xff\xfe'
printf 'del' >"$tree/del"$'\x7f'"name"
printf 'ok' >"$tree/Ελληνικά/αρχείο.txt"
printf 'ok!' >"$tree/中文目录/文件.doc"
head -c 5000 /dev/zero >"$tree/deep/er/est/data"
head -c 1048576 /dev/zero >"$tree/links/two/shared"
ln "$tree/links/two/shared" "$tree/links/one/shared"
ln "$tree/links/two/shared" "$tree/links/three/again"
truncate -s 5G "$tree/sparse"
printf 'hidden' >"$tree/shut/inside"
# A folder that may be listed but not entered: marked read_error, as ncdu marks it
mkdir "$tree/listonly"
printf 'unseen' >"$tree/listonly/unseen"
[ ${#as_user[@]} -gt 0 ] && chmod 000 "$tree/shut" && chmod 444 "$tree/listonly"

# --- the JSON export, read by Python, ncdu and gdu
"${as_user[@]}" "$program" --json -o - "$tree" >"$work/dscp.json" 2>"$work/dscp.err"
status=$?
want_status=0
[ ${#as_user[@]} -gt 0 ] && want_status=1 # the shut folder is named and reported
[ "$status" -eq "$want_status" ] || fail "--json exited with $status: $(cat "$work/dscp.err")"
"${as_user[@]}" ncdu --ignore-config -0 -o - "$tree" >"$work/ncdu-own.json" 2>/dev/null
# ncdu exits 0 when it gives up on a file partway: what it says counts
ncdu --ignore-config -f "$work/dscp.json" -o - >"$work/ncdu-read.json" 2>"$work/ncdu.err" && [ ! -s "$work/ncdu.err" ] || fail "ncdu --ignore-config -f refused the export: $(cat "$work/ncdu.err")"
# Apparent sizes, then disk usage (gdu's default: the 5 GiB sparse file takes next to nothing).
for apparent in -a ""; do
  gdu_read=$(gdu -n $apparent -p --no-prefix -s -f "$work/dscp.json" 2>&1 | awk '{print $1}')
  gdu_own=$("${as_user[@]}" gdu -n $apparent -p --no-prefix -s "$tree" 2>/dev/null | awk '{print $1}')
  [ -n "$gdu_read" ] && [ "$gdu_read" = "$gdu_own" ] || fail "gdu $apparent: $gdu_read from the export, $gdu_own from its own scan"
done

python3 - "$work" "$tree" <<'EOF' || fail "JSON export (see above)"
import json, os, sys
work, tree = sys.argv[1], sys.argv[2]
def load(name):
    # The format keeps names as their bytes; surrogateescape carries the ones that are not UTF-8.
    with open(os.path.join(work, name), 'rb') as f:
        return json.loads(f.read().decode('utf-8', 'surrogateescape'))
def items(doc):
    """path -> (is folder, asize, dsize, read_error, excluded); total asize and dsize with each
    inode once."""
    out, seen, total = {}, set(), [0, 0]
    def walk(node, path):
        nonlocal total
        info, children = (node[0], node[1:]) if isinstance(node, list) else (node, [])
        here = path + '/' + info['name'] if path is not None else ''
        out[here] = (isinstance(node, list), info.get('asize', 0), info.get('dsize', 0),
                     bool(info.get('read_error')), info.get('excluded'))
        key = (info.get('dev'), info['ino']) if 'ino' in info else None
        if key is None or key not in seen:
            total = [total[0] + info.get('asize', 0), total[1] + info.get('dsize', 0)]
            if key: seen.add(key)
        for child in children:
            walk(child, here)
    assert doc[0] == 1 and doc[1] == 2, doc[:3]
    walk(doc[3], None)
    return out, total
ours, our_total = items(load('dscp.json'))
if load('dscp.json')[2]['progname'] != 'dscp': print('progname', file=sys.stderr)
read, read_total = items(load('ncdu-read.json'))
own, own_total = items(load('ncdu-own.json'))
errors = []
if ours != read: errors.append('ncdu reads the export differently from what it says')
if set(read) != set(own):
    errors.append('paths: only in ours %r, only in ncdu\'s %r' % (sorted(set(read) - set(own)), sorted(set(own) - set(read))))
for path in set(read) & set(own):
    if read[path] != own[path]: errors.append('%r: ours %r, ncdu %r' % (path, read[path], own[path]))
if read_total != own_total: errors.append('totals: ours %r, ncdu %r' % (read_total, own_total))
names = {os.fsencode(p.encode('utf-8', 'surrogateescape').decode('utf-8', 'surrogateescape')) for p in ours}
if b'/not utf8 \xff\xfe' not in names: errors.append('the name that is not UTF-8 lost its bytes')
if '/sparse' not in ours or ours['/sparse'][1] != 5 << 30 or ours['/sparse'][2] >= 1 << 20: errors.append('sparse file: %r' % (ours.get('/sparse'),))
print('\n'.join(errors), file=sys.stderr)
sys.exit(1 if errors else 0)
EOF

# --- CSV: the same rows as the report, read back by Python's csv module
"${as_user[@]}" "$program" --csv "$tree" >"$work/rows.csv" 2>/dev/null
"${as_user[@]}" "$program" "$tree" >"$work/rows.txt" 2>/dev/null
python3 - "$work" "$tree" <<'EOF' || fail "CSV (see above)"
import csv, os, re, sys
work, tree = sys.argv[1], sys.argv[2]
with open(os.path.join(work, 'rows.csv'), newline='', encoding='utf-8') as f:
    rows = list(csv.reader(f))
with open(os.path.join(work, 'rows.txt'), 'rb') as f:
    lines = f.read().decode('utf-8', 'replace').split('\n')[4:-1]
errors = []
if rows[0] != ['Name', 'Bytes', 'Size', 'Type', 'Modified', 'Folders', 'Files']: errors.append('header %r' % rows[0])
rows = rows[1:]
if len(rows) != len(lines): errors.append('%d records, %d report rows' % (len(rows), len(lines)))
listed = {os.fsdecode(n).encode('utf-8', 'surrogateescape').decode('utf-8', 'replace') for n in os.listdir(os.fsencode(tree))}
if {r[0] for r in rows} != listed: errors.append('names %r' % sorted({r[0] for r in rows} ^ listed))
for row, line in zip(rows, lines):
    name, size, text, kind, date, folders, files = row
    shown = re.sub('[\x00-\x1f\x7f]', '?', name)
    cells = line[len(shown):].split()
    if not line.startswith(shown) or cells[:2] != text.split() or (folders and cells[-2:] != [folders, files]):
        errors.append('row %r differs from %r' % (row, line))
    if not re.fullmatch(r'\d{4}-\d\d-\d\dT\d\d:\d\d', date): errors.append('date %r' % date)
sizes = [int(r[1]) for r in rows]
if sizes != sorted(sizes, reverse=True): errors.append('not largest first')
print('\n'.join(errors), file=sys.stderr)
sys.exit(1 if errors else 0)
EOF

# --- hard links: one file with three names counts once, in the folder of its first path
links=$tree/links
for threads in 1 2 4; do
  "$program" --exact --threads $threads --csv "$links" >"$work/links$threads.csv" 2>"$work/links$threads.err"
  exact=$(sed -n 2p "$work/links$threads.err")
  [ "$exact" = "1048576 bytes, 3 folders, 3 files beneath, 1 hard-linked file counted once" ] || fail "$threads threads: $exact"
  grep -q ', 1 hard-linked file counted once$' <(sed -n 1p "$work/links$threads.err") || fail "status line: $(sed -n 1p "$work/links$threads.err")"
  carriers=$(grep -c ',1048576,' "$work/links$threads.csv")
  [ "$carriers" -eq 1 ] && grep -q '^one,1048576,' "$work/links$threads.csv" || fail "$threads threads: $(cat "$work/links$threads.csv")"
done
"$program" --exact --count-links "$links" >/dev/null 2>"$work/every.err"
[ "$(sed -n 2p "$work/every.err")" = "3145728 bytes, 3 folders, 3 files beneath" ] || fail "--count-links: $(cat "$work/every.err")"
"$program" --json --count-links "$links" >"$work/every.json" 2>/dev/null
grep -q '"ino"' "$work/every.json" && fail "--count-links: the export still names the links"
grep -q '"ino"' "$work/dscp.json" || fail "the export names no links"
# du counts each folder's own size as well
folders_bytes=$(find "$links" -type d -printf '%s\n' | awk '{s += $1} END {print s}')
du_bytes=$(du -sb "$links" | awk '{print $1}')
[ $((du_bytes - folders_bytes)) -eq 1048576 ] || fail "du -sb says $du_bytes with $folders_bytes in folders"

# --- --disk-usage: bytes on disk as du counts them without -b (the sparse file takes next to
# nothing, the three names of one file count once, every folder's own blocks count)
"${as_user[@]}" "$program" --disk-usage --exact --csv "$tree" >"$work/du.csv" 2>"$work/du.err"
du_total=$("${as_user[@]}" du -sB1 "$tree" 2>/dev/null | awk '{print $1}')
ours=$(grep " bytes, " "$work/du.err" | awk '{print $1}')
[ "$ours" = "$du_total" ] || fail "--disk-usage: $ours bytes, du -sB1 says $du_total"
for name in links deep sparse; do
  row=$(grep "^$name," "$work/du.csv" | cut -d, -f2)
  want=$(du -sB1 "$tree/$name" | awk '{print $1}')
  [ -n "$row" ] && [ "$row" = "$want" ] || fail "--disk-usage: $name's row $row, du -sB1 says $want"
done
"$program" --disk-usage --top 3 "$tree" >/dev/null 2>&1
[ $? -eq 2 ] || fail "--disk-usage with --top is not a usage error"

# --- -x: a file system mounted inside the tree is not entered
# (mode 700: nobody may not read it, and -x leaves it out all the same, like du -x and ncdu -x)
if mkdir -p "$tree/mnt" && mount -t tmpfs -o size=4m,mode=700 none "$tree/mnt" 2>/dev/null; then
  mounted+=("$tree/mnt")
  head -c 70000 /dev/zero >"$tree/mnt/elsewhere"
  "$program" --exact -x "$tree/deep" >/dev/null 2>"$work/x.err" # no mount beneath: as without
  "$program" --exact -x "$tree" >/dev/null 2>"$work/x.err"
  "$program" --exact "$tree" >/dev/null 2>"$work/all.err"
  x_bytes=$(sed -n 2p "$work/x.err" | awk '{print $1}')
  all_bytes=$(sed -n 2p "$work/all.err" | awk '{print $1}')
  [ $((all_bytes - x_bytes)) -eq 70000 ] || fail "-x: $x_bytes bytes, $all_bytes without it"
  "$program" --json -x -o "$work/x.json" "$tree" 2>/dev/null
  grep -qE '\[\{"name":"mnt","excluded":"otherfs","mtime":[0-9]+\}\]' "$work/x.json" || fail "-x: mount point not marked excluded"
  ncdu --ignore-config -f "$work/x.json" -o - >/dev/null 2>&1 || fail "ncdu --ignore-config -f refused the -x export"
  # gdu gives an excluded folder a size of its own when it reads one: compare like with like
  ncdu --ignore-config -x -0 -o "$work/x-ncdu.json" "$tree" 2>/dev/null
  x_gdu=$(gdu -n -a -p --no-prefix -s -f "$work/x.json" 2>&1 | awk '{print $1}')
  own_gdu=$(gdu -n -a -p --no-prefix -s -f "$work/x-ncdu.json" 2>&1 | awk '{print $1}')
  [ -n "$x_gdu" ] && [ "$x_gdu" = "$own_gdu" ] || fail "-x: gdu reads $x_gdu from the export, $own_gdu from ncdu's -x export"
  if [ ${#as_user[@]} -gt 0 ]; then
    "${as_user[@]}" "$program" --json -x -o - "$tree" >"$work/x-user.json" 2>"$work/x-user.err"
    grep -F "$tree/mnt" "$work/x-user.err" && fail "-x: a mount point nobody may read is reported"
    grep -qE '\[\{"name":"mnt","excluded":"otherfs"(,"mtime":[0-9]+)?\}\]' "$work/x-user.json" || fail "-x: a mount point nobody may read is not marked excluded"
  fi
else
  fail "-x: could not mount a tmpfs inside the tree (run the tests as root)"
fi

# --- --duplicates: the same groups as jdupes -r finds; two names of one file are no copies
dupes=$work/dupes
mkdir -p "$dupes/a" "$dupes/b/c"
head -c 300000 /dev/urandom >"$dupes/a/big"
cp "$dupes/a/big" "$dupes/b/big copy"
cp "$dupes/a/big" "$dupes/b/c/big"
{ head -c 4096 "$dupes/a/big"; head -c 295904 /dev/zero; } >"$dupes/b/same head" # size, head
head -c 300000 /dev/urandom >"$dupes/b/same size"
printf 'small' >"$dupes/s1"
printf 'small' >"$dupes/a/s2"
printf 'other' >"$dupes/s3"
head -c 5000 /dev/urandom >"$dupes/linked"
ln "$dupes/linked" "$dupes/a/linked too"
: >"$dupes/empty1"
: >"$dupes/empty2"
groups() { awk -v RS= '{ n = split($0, l, "\n"); s = ""; for (i = 1; i <= n; i++) if (l[i] != "") s = s l[i] "|"; print s }' | sort; }
ours=$("$program" --duplicates "$dupes" 2>/dev/null | sed -n '/copies of/,$p' | grep -v '^[0-9]* groups\? of' | grep -v 'copies of' | sed 's/^  //' | awk -v d="$dupes/" 'NF { print d $0; next } { print }' | groups)
theirs=$(jdupes -r -q "$dupes" 2>/dev/null | groups)
# jdupes sorts a group's names its own way: compare each group's names sorted
norm() { tr '|' '\n' | sort | tr '\n' '|'; }
ours_sorted=$(while read -r g; do printf '%s\n' "$g" | norm; echo; done <<<"$ours" | sort)
theirs_sorted=$(while read -r g; do printf '%s\n' "$g" | norm; echo; done <<<"$theirs" | sort)
[ -n "$ours_sorted" ] && [ "$ours_sorted" = "$theirs_sorted" ] || fail "--duplicates: $ours_sorted"$'\n'"jdupes -r: $theirs_sorted"
"$program" --duplicates --csv "$dupes" >"$work/dupes.csv" 2>/dev/null
[ "$(sed -n 1p "$work/dupes.csv" | tr -d '\r')" = "Group,Bytes,Path,Modified" ] || fail "--duplicates --csv header"
[ "$(sed -n 2p "$work/dupes.csv" | cut -d, -f1,2,3)" = "1,300000,a/big" ] || fail "--duplicates --csv first row: $(sed -n 2p "$work/dupes.csv")"
chmod 000 "$dupes/b/c/big"
"${as_user[@]}" "$program" --duplicates "$dupes" >/dev/null 2>"$work/dupes.err"
status=$?
chmod 644 "$dupes/b/c/big"
[ ${#as_user[@]} -eq 0 ] || { [ "$status" -eq 1 ] && grep -qxF "dscp-report: cannot read $dupes/b/c/big" "$work/dupes.err"; } || fail "--duplicates with an unreadable file: exit $status, $(cat "$work/dupes.err")"

# --- output files: whole or not at all, in every format
full=$work/full
mkdir -p "$full"
if mount -t tmpfs -o size=64k none "$full" 2>/dev/null; then
  mounted+=("$full")
  many=$work/many
  mkdir -p "$many"
  for i in $(seq 1000); do : >"$many/a-name-long-enough-to-fill-a-small-disk-$i"; done
  for format in --json --csv --text; do
    option=$format
    [ "$format" = --text ] && option=()
    printf 'old contents\n' >"$full/out"
    chmod 604 "$full/out"
    head -c 40000 /dev/zero >"$full/filler"
    "$program" "${option[@]}" -o "$full/out" "$many" >/dev/null 2>"$work/full.err"
    status=$?
    [ "$status" -eq 1 ] || fail "$format on a full disk exited with $status"
    grep -qxF "dscp-report: cannot write $full/out: No space left on device" "$work/full.err" || fail "$format on a full disk: $(cat "$work/full.err")"
    [ "$(cat "$full/out")" = "old contents" ] || fail "$format on a full disk changed the old file"
    [ "$(ls -A "$full" | tr '\n' ' ')" = "filler out " ] || fail "$format on a full disk left $(ls -A "$full")"
    rm "$full/filler"
    "$program" "${option[@]}" -o "$full/out" "$tree/deep" >/dev/null 2>&1 || fail "$format with room: exit $?"
    [ "$(stat -c %a "$full/out")" = 604 ] || fail "$format: the replaced file's mode is $(stat -c %a "$full/out")"
    grep -q er "$full/out" || fail "$format with room: $(cat "$full/out")"
    # A pipe and /dev/null are written as they are
    mkfifo "$full/pipe"
    "$program" "${option[@]}" -o "$full/pipe" "$tree/deep" 2>/dev/null &
    piped=$(cat "$full/pipe")
    wait $! || fail "$format into a pipe: exit $?"
    grep -q er <<<"$piped" || fail "$format into a pipe: $piped"
    [ -p "$full/pipe" ] || fail "$format replaced the pipe"
    rm "$full/pipe"
    "$program" "${option[@]}" -o /dev/null "$tree/deep" 2>/dev/null || fail "$format to /dev/null: exit $?"
    [ -c /dev/null ] || fail "$format replaced /dev/null"
    # The system's reason when the file cannot be made
    "$program" "${option[@]}" -o "$work/no/such/x" "$tree/deep" >/dev/null 2>"$work/open.err"
    grep -qxF "dscp-report: cannot write $work/no/such/x: No such file or directory" "$work/open.err" || fail "$format into a missing folder: $(cat "$work/open.err")"
    "$program" "${option[@]}" -o "$work" "$tree/deep" >/dev/null 2>"$work/open.err"
    grep -qxF "dscp-report: cannot write $work: Is a directory" "$work/open.err" || fail "$format onto a folder: $(cat "$work/open.err")"
  done
else
  fail "output files: could not mount a small tmpfs (run the tests as root)"
fi

# --- --help and the manual page name every option; --version the project's version
page=$(dirname "$0")/../../docs/dscp-report.1
help=$("$program" --help)
manual=$(MANWIDTH=100 man -l "$page" 2>/dev/null)
for option in --json --csv "-o FILE" --exact --count-links -x --one-file-system --threads --help --version; do
  grep -qe " $option" <<<"$help" || fail "--help does not name $option"
  grep -qe "${option% FILE}" <<<"$manual" || fail "the manual page does not name $option"
done
[ -z "$(groff -ww -z -man "$page" 2>&1)" ] || fail "groff warns about the manual page"
"$program" --version | grep -qxE 'dscp-report [0-9]+\.[0-9]+\.[0-9]+' || fail "--version: $("$program" --version)"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "all format checks passed"
