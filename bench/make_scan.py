#!/usr/bin/env python3
"""Writes a synthetic saved scan in ncdu's JSON export format (as ncdu -e writes it) with
about ENTRIES entries: 100 folders of 100 subfolders each, the files spread evenly over the
subfolders, every hundredth file a second name of another (ino, nlink). With --later, the same tree a
while later: every tenth file grown, every fiftieth renamed (one gone and one new).
   make_scan.py ENTRIES FILE [--later]"""
import sys

entries, path = int(sys.argv[1]), sys.argv[2]
later = '--later' in sys.argv[3:]
top, sub = 100, 100
files_each = max(1, -(-(entries - 1 - top - top * sub) // (top * sub)))
with open(path, 'w') as out:
    out.write('[1,2,{"progname":"make_scan","progver":"1","timestamp":1765000000},\n')
    out.write('[{"name":"/bench/scan","asize":4096,"dsize":4096,"dev":2049,"mtime":1765000000}')
    n = 0
    for t in range(top):
        out.write(',\n[{"name":"folder %03d","asize":4096,"dsize":4096,"mtime":%d}' % (t, 1700000000 + t))
        for s in range(sub):
            out.write(',\n[{"name":"sub-%03d","asize":4096,"dsize":4096,"mtime":%d}' % (s, 1700000000 + s))
            for f in range(files_each):
                n += 1
                size = (n * 7919) % 10000000
                if later and n % 10 == 0:
                    size += 4096
                name = 'file_%07d%s' % (n, 'r' if later and n % 50 == 7 else '')
                link = ',"ino":%d,"hlnkc":true,"nlink":2' % (n // 2) if n % 100 < 2 else ''
                out.write(',\n{"name":"%s.%s","asize":%d,"dsize":%d,"mtime":%d%s}' % (
                    name, ('dat', 'txt', 'jpg', 'log')[n % 4], size, (size + 4095) // 4096 * 4096,
                    1600000000 + n, link))
            out.write(']')
        out.write(']')
    out.write(']]\n')
