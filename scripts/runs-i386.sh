#!/usr/bin/env bash
# Exits 0 when this machine executes 32-bit x86 programs, 1 when it does not (some kernels
# refuse i386 executables: 32-bit Wine then fails with "Exec format error"), found by
# trying: a 93-byte i386 program that only exits. DSCP_NO_I386=1 answers "no" without
# trying, so that the path of a 64-bit-only machine can be run anywhere.
set -uo pipefail
if [ -n "${DSCP_NO_I386:-}" ] && [ "${DSCP_NO_I386}" != 0 ]; then
  exit 1
fi
mkdir -p "$(dirname "$0")/../build"
probe=$(mktemp "$(dirname "$0")/../build/i386-probe.XXXXXX")
trap 'rm -f "$probe"' EXIT
python3 - "$probe" <<'PY'
import struct, sys
code = bytes([0xB8, 1, 0, 0, 0,   # mov eax, 1 (exit)
              0x31, 0xDB,         # xor ebx, ebx (status 0)
              0xCD, 0x80])        # int 0x80
base, ehsize, phsize = 0x08048000, 52, 32
size = ehsize + phsize + len(code)
header = b"\x7fELF" + bytes([1, 1, 1, 0]) + bytes(8) + struct.pack(
    "<HHIIIIIHHHHHH", 2, 3, 1, base + ehsize + phsize, ehsize, 0, 0, ehsize, phsize, 1, 0, 0, 0)
segment = struct.pack("<IIIIIIII", 1, 0, base, base, size, size, 5, 0x1000)
with open(sys.argv[1], "wb") as f:
    f.write(header + segment + code)
PY
chmod +x "$probe"
"$probe" 2>/dev/null
