#!/usr/bin/env python3
"""Writes a synthetic saved scan in ncdu's JSON export format (as ncdu -e writes it) with
about ENTRIES entries: 100 folders of 100 subfolders each, the files spread evenly over the
subfolders, every hundredth file a second name of another (ino, nlink).
   make_scan.py ENTRIES FILE"""
import sys

entries, path = int(sys.argv[1]), sys.argv[2]
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
                link = ',"ino":%d,"hlnkc":true,"nlink":2' % (n // 2) if n % 100 < 2 else ''
                out.write(',\n{"name":"file_%07d.%s","asize":%d,"dsize":%d,"mtime":%d%s}' % (
                    n, ('dat', 'txt', 'jpg', 'log')[n % 4], size, (size + 4095) // 4096 * 4096,
                    1600000000 + n, link))
            out.write(']')
        out.write(']')
    out.write(']]\n')
