#!/usr/bin/env python3
"""Lays out the contents of a benchmark release archive in a folder.

  make_payload.py size FOLDER MIB       large members (4 MiB each) adding up to MIB
  make_payload.py members FOLDER COUNT  COUNT small files (1-4 KiB) in nested folders

Large members are a quarter text and three quarters incompressible bytes,
as game releases are mostly packed assets; small files are two thirds text.
Members repeat blocks from a pool, which deflate cannot exploit across
members (its window is 32 KiB), so the archive compresses as fresh data.
"""
import os
import random
import sys

MEMBER = 4 << 20
rng = random.Random(7)
words = [bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 9))) for _ in range(4000)]


def text(size):
    lines = []
    total = 0
    while total < size:
        line = b" ".join(rng.choice(words) for _ in range(64)) + b"\n"
        lines.append(line)
        total += len(line)
    return b"".join(lines)[:size]


def mixed_block():
    # Interleaved in 64 KiB pieces, so that a member cut short keeps the mix.
    piece = 64 << 10
    return b"".join(text(piece) if i % 4 == 0 else os.urandom(piece) for i in range(MEMBER // piece))


def large_members(folder, mib):
    pool = [mixed_block() for _ in range(8)]
    remaining = mib << 20
    index = 0
    while remaining > 0:
        size = min(MEMBER, remaining)
        sub = os.path.join(folder, "paks", "set%02d" % (index % 8))
        os.makedirs(sub, exist_ok=True)
        with open(os.path.join(sub, "pak%04d.vpk" % index), "wb") as out:
            out.write(pool[index % len(pool)][:size])
        remaining -= size
        index += 1


def small_members(folder, count):
    text_pool = text(1 << 20)
    noise_pool = os.urandom(1 << 20)
    for i in range(count):
        sub = os.path.join(folder, "dir%02d" % (i % 40), "sub%d" % (i % 7))
        os.makedirs(sub, exist_ok=True)
        size = rng.randint(1024, 4096)
        pool = noise_pool if i % 3 == 0 else text_pool
        start = rng.randrange(len(pool) - size)
        with open(os.path.join(sub, "file%05d.%s" % (i, ("bin", "txt", "res")[i % 3])), "wb") as out:
            out.write(pool[start:start + size])


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in ("size", "members"):
        sys.exit(__doc__)
    folder, amount = sys.argv[2], int(sys.argv[3])
    os.makedirs(folder, exist_ok=True)
    (large_members if sys.argv[1] == "size" else small_members)(folder, amount)


if __name__ == "__main__":
    main()
