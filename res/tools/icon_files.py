"""The files the icon is written as, from rows of pixels: a classic .ico of
DIB images with a 1-bpp AND mask (every Windows version reads it), 32-bpp
ones with alpha and PNG ones for the large sizes, and 8-bit
RGBA PNGs, each written in one step. Standard library only."""

import os
import struct
import zlib


def palette_of(pixels):
    # Black comes first: transparent pixels use index 0, and Windows XORs their
    # colour onto whatever lies behind the icon, so it must be black.
    colours = sorted({c for row in pixels for c in row if c is not None} - {(0, 0, 0)})
    colours = [(0, 0, 0)] + colours
    if len(colours) > 256:
        raise SystemExit(f"{len(colours)} colours do not fit an 8-bpp palette")
    return colours + [(0, 0, 0)] * (256 - len(colours))


def pad4(data):
    return data + b"\0" * (-len(data) % 4)


def dib(indices, palette, bits):
    """A BITMAPINFOHEADER image: palette, XOR bitmap and AND mask, rows bottom-up."""
    size = len(indices)
    xor_rows, and_rows = [], []
    for row in reversed(indices):
        if bits == 4:
            nibbles = [0 if i is None else i for i in row]
            xor = bytes((nibbles[k] << 4) | nibbles[k + 1] for k in range(0, size, 2))
        else:
            xor = bytes(0 if i is None else i for i in row)
        mask = 0
        for i in row:
            mask = (mask << 1) | (1 if i is None else 0)
        and_bits = mask.to_bytes((size + 7) // 8, "big")
        xor_rows.append(pad4(xor))
        and_rows.append(pad4(and_bits))
    pixels = b"".join(xor_rows) + b"".join(and_rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, len(pixels), 0, 0, 0, 0)
    quads = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + quads + pixels


def dib32(rgba_rows):
    """A 32-bpp BITMAPINFOHEADER image, BGRA with straight alpha, rows bottom-up,
    and the AND mask that readers without alpha go by."""
    size = len(rgba_rows)
    xor = b"".join(bytes(c for r, g, b, a in row for c in (b, g, r, a))
                   for row in reversed(rgba_rows))
    and_rows = []
    for row in reversed(rgba_rows):
        mask = 0
        for pixel in row:
            mask = (mask << 1) | (1 if pixel[3] == 0 else 0)
        and_rows.append(pad4(mask.to_bytes((size + 7) // 8, "big")))
    pixels = xor + b"".join(and_rows)
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels), 0, 0, 0, 0) + pixels


def ico(images):
    """images: (size, colour count byte, bit count, DIB bytes)."""
    offset = 6 + 16 * len(images)
    directory, blobs = [], []
    for size, colours, bits, data in images:
        directory.append(struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bits,
                                     len(data), offset))
        blobs.append(data)
        offset += len(data)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(directory) + b"".join(blobs)


def png(rgba_rows):
    """An 8-bit RGBA PNG; each row filtered with 'Up', which suits these images."""
    width, height = len(rgba_rows[0]), len(rgba_rows)
    raw = bytearray()
    previous = bytes(width * 4)
    for row in rgba_rows:
        line = bytes(channel for pixel in row for channel in pixel)
        raw.append(2)
        raw += bytes((a - b) & 0xFF for a, b in zip(line, previous))
        previous = line

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def write(path, data):
    with open(path + ".tmp", "wb") as f:
        f.write(data)
    os.replace(path + ".tmp", path)
