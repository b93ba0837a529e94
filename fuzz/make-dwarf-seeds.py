#!/usr/bin/env python3
"""Writes seed inputs for dwarf_cfi_fuzz: a zero PC offset and registers, then runs of whole records
(a CIE and the FDEs after it) cut from the .eh_frame sections of real ELF files.

usage: make-dwarf-seeds.py OUTPUT_DIR ELF_FILE..."""
import os
import struct
import subprocess
import sys
import tempfile

HEADER = bytes(8 + 8 * 17)


def eh_frame(path):
    with tempfile.NamedTemporaryFile() as out:
        subprocess.run(['objcopy', '-O', 'binary', '--only-section=.eh_frame', path, out.name], check=True)
        return open(out.name, 'rb').read()


def records(section):
    at = 0
    while at + 8 <= len(section):
        length, = struct.unpack_from('<I', section, at)
        if length in (0, 0xffffffff) or at + 4 + length > len(section):
            return
        cie_id, = struct.unpack_from('<I', section, at + 4)
        yield at, 4 + length, cie_id == 0
        at += 4 + length


def main():
    output, files = sys.argv[1], sys.argv[2:]
    os.makedirs(output, exist_ok=True)
    count = 0
    for path in files:
        section = eh_frame(path)
        all_records = list(records(section))
        fdes = [(at, size) for at, size, is_cie in all_records if not is_cie]
        for at, size in fdes[::max(1, len(fdes) // 40)]:
            pointer, = struct.unpack_from('<I', section, at + 4)
            cie_at = at + 4 - pointer
            cie_length, = struct.unpack_from('<I', section, cie_at)
            cie = section[cie_at:cie_at + 4 + cie_length]
            fde = bytearray(section[at:at + size])
            struct.pack_into('<I', fde, 4, len(cie) + 4)
            with open(os.path.join(output, 'seed-%03d' % count), 'wb') as seed:
                seed.write(HEADER + cie + bytes(fde))
            count += 1


if __name__ == '__main__':
    main()
