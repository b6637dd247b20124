#!/usr/bin/env python3
"""line_widths.py SHOT.png X0 X1 Y0 Y1: the width on screen of each thin line
crossing the sky between columns X0..X1 and rows Y0..Y1, one number a line.

A crossing is a dark run of at most six pixels with white on both sides;
its width is its integrated darkness, so a line softened at its edges
counts as much as a sharp one of the same weight."""
import subprocess
import sys

shot, x0, x1, y0, y1 = sys.argv[1], *map(int, sys.argv[2:])
w = int(subprocess.check_output(["identify", "-format", "%w", shot]))
grey = subprocess.check_output(["convert", shot, "-colorspace", "gray", "-depth", "8", "gray:-"])
for y in range(y0, y1, 3):
    row = grey[y * w + x0:y * w + x1]
    x = 0
    while x < len(row):
        if row[x] >= 250:
            x += 1
            continue
        end = x
        while end < len(row) and row[end] < 250:
            end += 1
        if x > 0 and end < len(row) and end - x <= 6:
            print(f"{sum(255 - v for v in row[x:end]) / 255:.2f}")
        x = end
