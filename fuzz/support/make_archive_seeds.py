#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets that read whole folders (the set
opening road, the library scanner, the recovery journal reader) as folder
archives: per entry a one-byte name length, the name, a four-byte
little-endian size and the bytes. Built from the scene and vMix seeds beside
them, so the seeds stay small."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
FUZZ = os.path.dirname(HERE)


def read(*parts):
    with open(os.path.join(FUZZ, *parts), 'rb') as f:
        return f.read()


def archive(entries):
    out = b''
    for name, data in entries:
        raw = name.encode()
        out += bytes([len(raw)]) + raw + struct.pack('<I', len(data)) + data
    return out


def png(width, height, depth=8):
    """An RGBA picture, 8 or 16 bits a channel."""
    row_bytes = width * 4 * depth // 8
    rows = b''.join(b'\0' + bytes((x * 37 + y) & 0xFF for x in range(row_bytes)) for y in range(height))
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF)
    header = struct.pack('>IIBBBBB', width, height, depth, 6, 0, 0, 0)
    return b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(rows)) + chunk(b'IEND', b'')


def write(target, name, data):
    folder = os.path.join(FUZZ, target, 'corpus')
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), 'wb') as f:
        f.write(data)


good = read('native', 'corpus', 'good.tvn')
thumb_size = struct.unpack_from('<i', good, 20)[0]
jpeg = good[536:536 + thumb_size]
layer_count = struct.unpack_from('<i', good, 12)[0]
full = read('vmix', 'corpus', 'full.xml')
pictures = [('back.png', png(8, 6)), ('screen.png', png(4, 4)), ('screen_uv.png', png(4, 4, 16))]

# The set opening road.
write('vmixroad', 'vmix-full', archive([('config.xml', full), ('thumbnail.jpg', jpeg)] + pictures))
write('vmixroad', 'vmix-no-pictures', archive([('config.xml', full)]))
write('vmixroad', 'vmix-utf16', archive([('config.xml', read('vmix', 'corpus', 'utf16.xml'))] + pictures))
write('vmixroad', 'vmix-bad-uv', archive([('config.xml', full), ('screen_uv.png', png(4, 4)), ('back.png', b'\x89PNG')]))
write('vmixroad', 'native-good', archive([('scene.tvn', good)]))
write('vmixroad', 'native-layer-shots', archive([('scene.tvn', read('native', 'corpus', 'layer-shot-mode.tvn'))]))
write('vmixroad', 'native-and-vmix', archive([('scene.tvn', read('native', 'corpus', 'cut-in-image.tvn')), ('config.xml', full)]))

# The library scanner.
write('library', 'mixed-library', archive([
    ('a/scene.tvn', good), ('b/config.xml', full), ('b/thumbnail.jpg', jpeg),
    ('c/scene.tvn', read('native', 'corpus', 'huge-thumbnail.tvn')), ('d/config.xml', full),
    ('e/thumbnail.jpg', b'\xff\xd8\xff\xe0garbage'), ('f/config.xml', b'<virtualSet>'), ('f/thumbnail.jpg', jpeg[:40])]))
write('library', 'native-only', archive([('Set/scene.tvn', good), ('Cut/scene.tvn', read('native', 'corpus', 'cut-in-record.tvn'))]))
write('library', 'empty', b'')

# The recovery journal reader.
def journal(scene, layers, extra='', layer_lines=None, state='1'):
    if layer_lines is None:
        layer_lines = ''.join('<Layer Image="/nowhere/%d.png" UvMap="" Visible="%d" UvEnabled="1"/>' % (i, i % 2)
                              for i in range(layers))
    text = ('<?xml version="1.0" encoding="UTF-8"?>\r\n<RecoveryJournal Version="1" SetFolder="/sets/Studio" '
            'Format="native" ProcessId="4242" Time="1700000000" State="%s" SceneBytes="%d" LayerCount="%d" '
            'Name="Studio" Thumbnail="/sets/Studio/thumbnail.jpg" ShotMode="4" HeaderValue="1000"%s>%s'
            '<ShotLayer Shot="0" Item="0"/></RecoveryJournal>' % (state, len(scene), layers, extra, layer_lines))
    return text.encode()

state = [('state-1/scene.tvn', good), ('state-1/thumbnail.jpg', jpeg)]
write('journal', 'good', archive([('journal.xml', journal(good, layer_count))] + state))
write('journal', 'no-layers', archive([('journal.xml', journal(b'', 0)), ('state-1/thumbnail.jpg', jpeg)]))
write('journal', 'cut-short', archive([('journal.xml', journal(good, layer_count)), ('state-1/scene.tvn', good[:700])]))
write('journal', 'more-layers-named', archive([('journal.xml', journal(good, layer_count + 3))] + state))
write('journal', 'huge-count', archive([('journal.xml', journal(good, 2000000000))] + state))
write('journal', 'other-state', archive([('journal.xml', journal(good, layer_count, state='99999999999999'))] + state))
write('journal', 'no-description', archive(state))
