#!/usr/bin/env python3
"""Checks the installer's PNGs against the pixel sizes the window's form expects.

Usage: check_sizes.py [nerixSetupOnline folder]   (default: ../../nerixSetupOnline)
Exit status 0 when every image listed in nerixSetupOnline.qrc exists, is a PNG
of the expected size, and the page backgrounds carry no alpha channel.
"""
import os
import re
import struct
import sys

EXPECTED = {
    "Resources/about_us_logo.png": (148, 141),
    "Resources/about_us_logo2.png": (176, 41),
    "Resources/about_us_logo3.png": (235, 193),
    "Resources/agree_agreement.png": (14, 14),
    "Resources/no_check.png": (16, 16),
    "Resources/arr.png": (17, 17),
    "Resources/img1.png": (600, 246),
    "Resources/img2.png": (600, 286),
    "Resources/bg.png": (1024, 720),
    "Resources/bg2.png": (1024, 720),
    "Resources/icon_closse.png": (20, 20),
    "Resources/icon_min.png": (20, 20),
    "Resources/img3.png": (289, 183),
    "Resources/logo2.png": (120, 120),
    "Resources/installation_close.png": (13, 14),
    "Resources/bg_green.png": (650, 360),
    "Resources_green/about_us_logo.png": (30, 30),
    "Resources_green/about_us_logo2.png": (176, 41),
    "Resources_green/about_us_logo3.png": (235, 193),
    "Resources_green/icon_closse.png": (20, 20),
    "Resources_green/icon_min.png": (20, 20),
    "Resources_green/agree_agreement.png": (14, 14),
    "Resources_green/no_check.png": (14, 14),
    "Resources_green/arr.png": (17, 17),
    "Resources_green/img1.png": (396, 165),
    "Resources_green/img2.png": (365, 166),
    "Resources_green/img3.png": (289, 183),
    "Resources_green/logo2.png": (110, 76),
    "Resources_green/installation_close.png": (13, 14),
}
# What the window shows also comes at twice the size, for high-DPI screens.
SHOWN = ["about_us_logo", "about_us_logo2", "about_us_logo3", "agree_agreement", "no_check", "arr", "img1",
         "img2", "icon_closse", "icon_min"]
for folder in ("Resources", "Resources_green"):
    for stem in SHOWN + (["bg", "bg2"] if folder == "Resources" else []):
        w, h = EXPECTED[f"{folder}/{stem}.png"]
        EXPECTED[f"{folder}/{stem}@2x.png"] = (2 * w, 2 * h)
OPAQUE = {"Resources/bg.png", "Resources/bg2.png", "Resources/bg_green.png", "Resources/bg@2x.png",
          "Resources/bg2@2x.png"}
COLOUR_TYPES_WITH_ALPHA = {4, 6}


def png_header(path):
    with open(path, "rb") as f:
        head = f.read(33)
    if len(head) < 33 or head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    width, height, _depth, colour_type = struct.unpack(">IIBB", head[16:26])
    return width, height, colour_type


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "nerixSetupOnline")
    problems = []

    with open(os.path.join(root, "nerixSetupOnline.qrc"), encoding="utf-8") as f:
        listed = set(re.findall(r"<file>([^<]+\.png)</file>", f.read()))
    for name in sorted(listed - EXPECTED.keys()):
        problems.append(f"{name}: listed in the resources but has no expected size here")
    for name in sorted(EXPECTED.keys() - listed):
        problems.append(f"{name}: expected but not listed in the resources")

    for name, (width, height) in sorted(EXPECTED.items()):
        path = os.path.join(root, name)
        if not os.path.isfile(path):
            problems.append(f"{name}: missing")
            continue
        header = png_header(path)
        if header is None:
            problems.append(f"{name}: not a PNG")
            continue
        if header[:2] != (width, height):
            problems.append(f"{name}: {header[0]} x {header[1]}, expected {width} x {height}")
        if name in OPAQUE and header[2] in COLOUR_TYPES_WITH_ALPHA:
            problems.append(f"{name}: a page background should have no alpha channel")

    for line in problems:
        print(line)
    print(f"{len(EXPECTED)} images checked, {len(problems)} problem(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
