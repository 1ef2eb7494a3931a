"""Puts PNG pictures of the icon into one Windows icon file (.ico), each as
a PNG-compressed image, which Windows reads since Vista.

usage: icon_file.py OUTPUT.ico PICTURE.png..."""

import struct
import sys
from pathlib import Path


def png_size(picture):
    width, height = struct.unpack(">II", picture[16:24])  # the IHDR chunk
    return width, height


def main(output, *pictures):
    images = [Path(picture).read_bytes() for picture in pictures]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries = b""
    for image in images:
        width, height = png_size(image)
        # A side of 256 is written as 0; planes 1, 32 bits a pixel.
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    Path(output).write_bytes(header + entries + b"".join(images))


if __name__ == "__main__":
    main(*sys.argv[1:])
