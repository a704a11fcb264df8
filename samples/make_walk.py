#!/usr/bin/env python3
"""Writes the sample animation "walk": a figure walking along a road, as
frame files walk0000.txt ... and the all-in-one file walk.txt, in Shift-JIS
with CR LF line ends. Run from anywhere; writes beside this script."""
import os

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "walk")
WIDTH = 34

LEGS = ["  /  >", "  |  |", "  <  \\", "  |  |"]


def scene(x, legs, caption, sky="", sun=False):
    pad = " " * x
    lines = []
    lines.append(sky + ("   ☆" if not sun else "   ○"))
    lines.append("")
    lines.append(pad + " (・∀・)")
    lines.append(pad + "  /|\\")
    lines.append(pad + legs)
    lines.append("＿" * (WIDTH // 2))
    lines.append(caption)
    return "\r\n".join(lines)


def header(colour=None, same=None):
    if same is not None:
        return "{\r\nsame %d\r\n}\r\n" % same
    if colour is not None:
        return "{\r\ncolor\r\n%s\r\n}\r\n" % colour
    return ""


frames = []
# Morning: dark text on a pale sky, walking right.
for i in range(16):
    colour = "0 0 0 255 255 255" if i == 0 else ("0 0 128 224 240 255" if i == 6 else None)
    frames.append(header(colour) + scene(i * 2, LEGS[i % 4], "てくてく…" if i % 2 == 0 else "てくてく"))
# A pause: frame 16 repeats frame 4.
frames.append(header(same=4))
# Evening: light text on a dark sky.
for i in range(16, 32):
    colour = "255 255 192 32 32 96" if i == 16 else None
    frames.append(header(colour) + scene((i - 16) * 2, LEGS[i % 4], "夕焼けの道を歩く", sky="  ★", sun=True))
# The end.
frames.append(header("255 255 255 0 0 0") + "\r\n\r\n      おわり\r\n\r\n    zoetrix sample")

os.makedirs(here, exist_ok=True)
everything = b""
for n, text in enumerate(frames):
    data = text.encode("cp932")
    with open(os.path.join(here, "walk%04d.txt" % n), "wb") as f:
        f.write(data)
    everything += b"%04d\r\n" % n + data + b"\r\n[end]\r\n"
with open(os.path.join(here, "walk.txt"), "wb") as f:
    f.write(everything)
print("%d frames" % len(frames))
