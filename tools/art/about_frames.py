#!/usr/bin/env python3
"""Writes the SVG frames of the about box's animation: debug rows, coloured
by group like the viewer's list, arriving one by one beside the program's mark.
usage: about_frames.py BUG_PNG OUT_DIR"""
import sys

GROUP_COLOURS = ["#ffffff", "#ffff00", "#00ffff", "#ff0000"]  # general, information, warning, error
ROWS = [(0, 40), (1, 28), (0, 34), (2, 22), (0, 38), (1, 30), (3, 26), (0, 36), (1, 24), (0, 32)]
ROW_H, VISIBLE = 7, 4
LEFT, TOP, WIDTH = 44, 5, 66


def frame(n, bug):
    out = ['<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" '
           'width="114" height="41" viewBox="0 0 114 41">',
           '<rect width="114" height="41" fill="#ffffff"/>',
           '<image x="4" y="4" width="33" height="33" xlink:href="%s"/>' % bug,
           '<rect x="%.1f" y="%.1f" width="%d" height="%d" fill="#ffffff" stroke="#0a1f52"/>'
           % (LEFT - 2.5, TOP - 2.5, WIDTH + 5, VISIBLE * ROW_H + 5)]
    for slot in range(VISIBLE):
        group, length = ROWS[(n + slot) % len(ROWS)]
        y = TOP + slot * ROW_H
        newest = slot == VISIBLE - 1
        out.append('<rect x="%d" y="%d" width="%d" height="%d" fill="%s"/>'
                   % (LEFT, y, WIDTH, ROW_H - 1, "#dbe4f7" if newest else GROUP_COLOURS[group]))
        out.append('<rect x="%d" y="%d" width="4" height="4" fill="%s" stroke="#555" stroke-width="0.5"/>'
                   % (LEFT + 2, y + 1, ["#f4f4f4", "#f5c542", "#e89a1c", "#d42a1e"][group]))
        out.append('<rect x="%d" y="%d" width="%d" height="2" fill="#1a2a55"/>'
                   % (LEFT + 9, y + 2, length))
    out.append("</svg>")
    return "\n".join(out)


def main():
    bug, folder = sys.argv[1], sys.argv[2]
    for n in range(len(ROWS)):
        with open("%s/frame%02d.svg" % (folder, n), "w") as f:
            f.write(frame(n, bug))


if __name__ == "__main__":
    main()
