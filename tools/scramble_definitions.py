#!/usr/bin/env python3
"""Scrambles readable definition lines into the on-disk form of the definition files.

Build tool: turns the sample definition set kept in the repository as readable text into the
files the program reads. Each character's code is shifted by 64 modulo 255 (codes 192-255 wrap
to 1-64); lines end with CR LF. Input is read as bytes in the ANSI code page.

usage: scramble_definitions.py INPUT.txt OUTPUT.dat
"""
import sys


def encode_line(line: bytes) -> bytes:
    out = bytearray()
    for a in line:
        c = a + 64
        if c > 255:
            c -= 255
        out.append(c)
    return bytes(out)


def main() -> int:
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    with open(sys.argv[1], "rb") as f:
        lines = f.read().replace(b"\r\n", b"\n").split(b"\n")
    if lines and lines[-1] == b"":
        lines.pop()
    # Comment lines (starting with "#") document the sample and are not part of the set.
    lines = [l for l in lines if not l.startswith(b"#")]
    with open(sys.argv[2], "wb") as f:
        for line in lines:
            f.write(encode_line(line) + b"\r\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
