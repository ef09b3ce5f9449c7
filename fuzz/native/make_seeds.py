#!/usr/bin/env python3
"""Writes the seed corpus of the scene-reader fuzz target into ./corpus.

The seeds are small scene files built field by field: a good file and the
damaged forms a reader has to survive."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
THUMB = bytes([0xFF, 0xD8]) + b"thumbnail" + bytes([0xFF, 0xD9])


def header(layers, shots, thumb_size, mode=0, value=1000, magic=0x32129910, version=1):
    return struct.pack("<IIIiiiiii", magic, version, 1234567, layers, shots, thumb_size, mode, 0, value) + bytes(500)


def layer(name, image, uv, x=0.0, zoom=1.0, crop=(0.0, 0.0, 1.0, 1.0), image_size=None, uv_size=None):
    rec = name.encode().ljust(64, b"\0")[:64]
    rec += bytes(8)
    rec += struct.pack("<8f", x, -x, zoom, zoom, 1.0, 0.0, 0.0, 0.125)
    rec += struct.pack("<4f", *crop)
    rec += bytes([0, 1]) + bytes(6) + bytes(8) + bytes([1]) + bytes(7) + bytes(8)
    rec += struct.pack("<i", len(image) if image_size is None else image_size) + bytes(4) + bytes(8)
    rec += struct.pack("<i", len(uv) if uv_size is None else uv_size) + bytes(4)
    assert len(rec) == 176
    return rec + image + uv


def shot(name, zoom=1.0):
    return name.encode().ljust(64, b"\0") + struct.pack("<8f", 0.5, -0.5, zoom, zoom, 1.0, 0.0, 0.0, 0.25)


def scene(layers, shots, **kw):
    return header(len(layers), len(shots), len(THUMB), **kw) + THUMB + b"".join(layers) + b"".join(shots)


LAYERS = [layer("back", b"B" * 40, b"U" * 12, crop=(0.25, 0.0, 0.75, 1.0)),
          layer("empty", b"", b"V" * 5),
          layer("front", b"F" * 33, b"", x=0.5, zoom=0.0)]
SHOTS = [shot("wide"), shot("close", 2.0)]
GOOD = scene(LAYERS, SHOTS)
records_start = 536 + len(THUMB)

SEEDS = {
    "good.tvn": GOOD,
    "empty.tvn": b"",
    "header-only.tvn": header(3, 2, len(THUMB)),
    "thumbnail-only.tvn": GOOD[:records_start],
    "cut-in-record.tvn": GOOD[:records_start + 100],
    "cut-in-image.tvn": GOOD[:records_start + 176 + 20],
    "cut-in-shot.tvn": GOOD[:-40],
    "no-thumbnail.tvn": header(0, 0, 0),
    "version-2.tvn": scene(LAYERS, SHOTS, version=2),
    "foreign-magic.tvn": scene(LAYERS, SHOTS, magic=0x12345678),
    "huge-counts.tvn": header(0x7FFFFFFF, 0x7FFFFFFF, len(THUMB)) + THUMB + LAYERS[0],
    "huge-image.tvn": scene([layer("x", b"abc", b"", image_size=0x7FFFFFFF)], []),
    "negative-sizes.tvn": scene([layer("x", b"", b"", image_size=-1, uv_size=-7)] + LAYERS, SHOTS),
    "huge-thumbnail.tvn": header(1, 1, 0x7FFFFFF0) + THUMB,
    "layer-shot-mode.tvn": scene(LAYERS, SHOTS, mode=5, value=7),
    "long-names.tvn": scene([layer("n" * 80, b"I", b"")], [shot("s" * 80)]),
}

os.makedirs(os.path.join(HERE, "corpus"), exist_ok=True)
for name, data in SEEDS.items():
    with open(os.path.join(HERE, "corpus", name), "wb") as f:
        f.write(data)
