#!/usr/bin/python3
"""Cross-checks pictel's BLP decoding against Pillow's, an independent BLP1 reader.

Usage: pillow_cross_check.py PICTEL

Paletted BLPs are built here byte by byte; JPEG-content BLPs are made by pictel itself from TGA
files written here, with varied alpha. pictel turns each BLP into a TGA, and its colours are
compared with Pillow's RGB decode of the same BLP: exactly for paletted content, and for JPEG
content after multiplying ours by alpha / 255, as Pillow does, within 2. Pillow drops BLP1
alpha, so only its RGB is trusted. Pillow does not read picture type 3, which a BLP1 reader
decodes like type 4; type-3 files are compared with Pillow's decode of the same bytes marked
as type 4.
"""
import os
import random
import struct
import subprocess
import sys
import tempfile

from PIL import Image

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def paletted_blp(width, height, picture_type, rng):
    palette = bytes(rng.randrange(256) for _ in range(1024))
    indices = bytes(rng.randrange(256) for _ in range(width * height))
    alpha = bytes(rng.randrange(256) for _ in range(width * height)) if picture_type in (3, 4) else b""
    offsets = [1180] + [0] * 15
    sizes = [len(indices) + len(alpha)] + [0] * 15
    header = b"BLP1" + struct.pack("<6I", 1, 8, width, height, picture_type, 1)
    header += struct.pack("<16I", *offsets) + struct.pack("<16I", *sizes)
    return header + palette + indices + alpha


def gradient_tga(width, height, bits, rng):
    """A TGA file (rows bottom row first) with gradients, noise and alpha running 0..255."""
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            noise = lambda: rng.randrange(-5, 6)
            blue = max(0, min(255, x * 255 // max(1, width - 1) + noise()))
            green = max(0, min(255, y * 255 // max(1, height - 1) + noise()))
            red = max(0, min(255, 128 + (x - y) * 2 + noise()))
            alpha = (x * 37 + y * 11) % 256
            row += bytes([blue, green, red, alpha][: bits // 8])
        rows.append(bytes(row))
    header = bytes([0, 0, 2] + [0] * 9) + struct.pack("<HHBB", width, height, bits, 8 if bits == 32 else 0)
    return header + b"".join(reversed(rows))


def run_pictel(pictel, *arguments):
    result = subprocess.run([pictel, *arguments], capture_output=True)
    check(result.returncode == 0, f"pictel {' '.join(arguments)} ended with {result.returncode}")
    return result


def read_tga_top_down(path):
    """Our TGA output as rows top row first of (blue, green, red, alpha)."""
    with open(path, "rb") as file:
        data = file.read()
    width, height, bits, descriptor = struct.unpack_from("<HHBB", data, 12)
    assert bits == 32 and descriptor == 8, (bits, descriptor)
    pixels = data[18:]
    row_bytes = width * 4
    rows = [pixels[i * row_bytes:(i + 1) * row_bytes] for i in range(height)]
    return width, height, list(reversed(rows))


def pillow_rgb(path, width, height):
    image = Image.open(path)
    image.load()
    check(image.size == (width, height), f"{path}: Pillow size {image.size}")
    return image.convert("RGB")


def compare(name, blp_path, tga_path, tolerance, multiply_by_alpha, pillow_path=None):
    width, height, rows = read_tga_top_down(tga_path)
    reference = pillow_rgb(pillow_path or blp_path, width, height)
    largest = 0
    for y in range(height):
        for x in range(width):
            blue, green, red, alpha = rows[y][4 * x:4 * x + 4]
            ours = (red, green, blue)
            if multiply_by_alpha:
                ours = tuple(channel * alpha / 255 for channel in ours)
            theirs = reference.getpixel((x, y))
            largest = max(largest, max(abs(a - b) for a, b in zip(ours, theirs)))
    check(largest <= tolerance, f"{name}: largest difference {largest} > {tolerance}")
    print(f"{name}: {width}x{height}, largest difference {largest:.2f}")


def check_paletted(pictel, folder, rng):
    for picture_type in (3, 4, 5):
        for width, height in ((1, 1), (8, 4), (64, 64), (3, 5)):
            name = f"paletted type {picture_type} {width}x{height}"
            blp_path = os.path.join(folder, f"p{picture_type}_{width}x{height}.blp")
            blp = paletted_blp(width, height, picture_type, rng)
            with open(blp_path, "wb") as file:
                file.write(blp)
            tga_path = blp_path[:-4] + ".tga"
            run_pictel(pictel, blp_path, tga_path)
            pillow_path = None
            if picture_type == 3:
                pillow_path = blp_path[:-4] + "_as4.blp"
                with open(pillow_path, "wb") as file:
                    file.write(blp[:20] + struct.pack("<I", 4) + blp[24:])
            compare(name, blp_path, tga_path, 0, False, pillow_path)


def check_jpeg(pictel, folder, rng):
    for width, height, bits in ((64, 64, 32), (256, 128, 32), (32, 8, 24), (1, 1, 32), (2, 16, 32)):
        name = f"jpeg {width}x{height} from {bits}-bit TGA"
        source = os.path.join(folder, f"j{width}x{height}_{bits}.tga")
        with open(source, "wb") as file:
            file.write(gradient_tga(width, height, bits, rng))
        blp_path = source[:-4] + ".blp"
        tga_path = source[:-4] + "_back.tga"
        run_pictel(pictel, source, blp_path)
        run_pictel(pictel, blp_path, tga_path)
        compare(name, blp_path, tga_path, 2, True)


def main():
    pictel = sys.argv[1]
    rng = random.Random(2)
    with tempfile.TemporaryDirectory(prefix="pictel-pillow-") as folder:
        check_paletted(pictel, folder, rng)
        check_jpeg(pictel, folder, rng)
    for failure in failures:
        print("FAILED:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
