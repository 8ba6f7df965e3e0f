#!/usr/bin/env python3
"""Writes the preset test data of the core tests (tests/core/data/*.bin).
Block j of every file is filled with bytes (j * 16 + i * 7 + seed) & 0xFF, so
each block read back from the registry is recognisable."""
import os

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "core", "data")
files = {"sketches.bin": (768, 64, 1), "bouquets.bin": (2048, 128, 2),
         "patterns.bin": (1536, 128, 3), "short.bin": (200, 64, 4)}
os.makedirs(here, exist_ok=True)
for name, (size, block, seed) in files.items():
    data = bytes(((i // block) * 16 + (i % block) * 7 + seed) & 0xFF for i in range(size))
    with open(os.path.join(here, name), "wb") as f:
        f.write(data)
