#!/usr/bin/env python3
"""Draws the utility's icons and bitmaps as PNG files into utility/resources/images/.

Standard library only: a small pixel canvas and a PNG writer. Icons (icon_*.png) have a
transparent background; bitmaps (bitmap_*.png) are filled with the mask colour RGB(0,128,128),
which the image lists take as transparent.

    scripts/draw-images.py [output folder]
"""
import os
import struct
import sys
import zlib

MASK = (0, 128, 128, 255)
CLEAR = (0, 0, 0, 0)

# Colours
BLACK = (20, 20, 24, 255)
WHITE = (255, 255, 255, 255)
GREY = (150, 150, 158, 255)
LIGHT = (205, 208, 214, 255)
DARK = (70, 72, 80, 255)
PCB = (26, 122, 62, 255)
PCB_LIGHT = (60, 170, 96, 255)
PCB_DARK = (14, 78, 38, 255)
GOLD = (222, 176, 48, 255)
GOLD_DARK = (160, 118, 20, 255)
BLUE = (36, 98, 196, 255)
BLUE_LIGHT = (110, 160, 235, 255)
BLUE_DARK = (20, 56, 120, 255)
RED = (210, 40, 40, 255)
ORANGE = (245, 140, 20, 255)
YELLOW = (255, 226, 60, 255)
GREEN = (40, 170, 60, 255)
GREEN_DARK = (20, 110, 36, 255)
LEAF = (92, 190, 60, 255)
PURPLE = (120, 70, 180, 255)


class Canvas:
    def __init__(self, width, height, background):
        self.width = width
        self.height = height
        self.pixels = [[background] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        """Fills the rectangle with corners (x0, y0) and (x1, y1), both included."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        self.rect(x0, y0, x1, y0, colour)
        self.rect(x0, y1, x1, y1, colour)
        self.rect(x0, y0, x0, y1, colour)
        self.rect(x1, y0, x1, y1, colour)

    def box(self, x0, y0, x1, y1, fill, outline):
        self.rect(x0, y0, x1, y1, fill)
        self.frame(x0, y0, x1, y1, outline)

    def line(self, x0, y0, x1, y1, colour, width=1):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        error = dx + dy
        while True:
            self.rect(x0 - (width - 1) // 2, y0 - (width - 1) // 2, x0 + width // 2, y0 + width // 2, colour)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * error
            if e2 >= dy:
                error += dy
                x0 += sx
            if e2 <= dx:
                error += dx
                y0 += sy

    def disc(self, cx, cy, r, colour):
        """A filled circle around the pixel centre (cx, cy); half-pixel centres allowed."""
        for y in range(self.height):
            for x in range(self.width):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r + 0.25:
                    self.put(x, y, colour)

    def ring(self, cx, cy, r, width, colour):
        for y in range(self.height):
            for x in range(self.width):
                d2 = (x - cx) ** 2 + (y - cy) ** 2
                if (r - width) ** 2 < d2 <= r * r + 0.25:
                    self.put(x, y, colour)

    def polygon(self, points, colour):
        """Fills a polygon by the even-odd rule, sampling pixel centres."""
        for y in range(self.height):
            for x in range(self.width):
                px, py = x + 0.5, y + 0.5
                inside = False
                for i in range(len(points)):
                    (ax, ay), (bx, by) = points[i], points[i - 1]
                    if (ay > py) != (by > py) and px < (bx - ax) * (py - ay) / (by - ay) + ax:
                        inside = not inside
                if inside:
                    self.put(x, y, colour)

    def blit(self, other, ox, oy):
        for y in range(other.height):
            for x in range(other.width):
                self.put(ox + x, oy + y, other.pixels[y][x])

    def png(self):
        raw = b"".join(b"\0" + b"".join(struct.pack("4B", *p) for p in row) for row in self.pixels)

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
                chunk(b"IEND", b""))


# ---------------------------------------------------------------------------------------------
# The network card: the program's own picture, also the tray icon and its animation.

# The copper trace the pulse runs along (x positions on row 12), from the jack to the chip.
PULSE_STEPS = [5, 9, 13, 17, 21]


def network_card(pulse=None):
    c = Canvas(32, 32, CLEAR)
    # Bracket on the left, board, gold contact fingers below.
    c.box(1, 4, 4, 27, LIGHT, DARK)
    c.box(4, 6, 30, 22, PCB, PCB_DARK)
    c.rect(5, 7, 29, 7, PCB_LIGHT)
    for x in range(8, 29, 3):
        c.rect(x, 23, x + 1, 26, GOLD)
        c.rect(x, 26, x + 1, 26, GOLD_DARK)
    c.rect(7, 23, 29, 23, GOLD_DARK)
    # The network jack in the bracket, with its latch slot.
    c.box(0, 9, 6, 16, BLACK, BLACK)
    c.rect(2, 11, 4, 14, DARK)
    c.rect(3, 15, 3, 16, DARK)
    # The controller chip with its pins.
    c.box(19, 9, 27, 17, BLACK, DARK)
    for y in range(10, 17, 2):
        c.put(18, y, LIGHT)
        c.put(28, y, LIGHT)
    c.rect(21, 11, 22, 12, GREY)
    # The trace from the jack to the chip, and the two link lamps.
    c.rect(7, 12, 18, 12, GOLD)
    c.rect(7, 19, 9, 20, GREEN)
    c.rect(11, 19, 13, 20, ORANGE)
    if pulse is not None:
        x = PULSE_STEPS[pulse]
        c.disc(x, 12, 2.2, YELLOW)
        c.put(x, 12, WHITE)
        c.rect(x - 4, 12, x - 3, 12, (255, 240, 150, 255))
    return c


def adapter_small():
    c = Canvas(16, 16, CLEAR)
    c.box(0, 2, 2, 14, LIGHT, DARK)
    c.box(2, 3, 15, 11, PCB, PCB_DARK)
    for x in range(4, 15, 2):
        c.put(x, 12, GOLD)
        c.put(x, 13, GOLD)
    c.box(0, 5, 3, 8, BLACK, BLACK)
    c.box(9, 5, 13, 9, BLACK, DARK)
    c.rect(4, 6, 8, 6, GOLD)
    c.put(5, 9, GREEN)
    c.put(7, 9, ORANGE)
    return c


# ---------------------------------------------------------------------------------------------
# The tree images: an inner node and the page without an icon of its own.

def tree_images():
    strip = Canvas(32, 16, MASK)
    node = Canvas(16, 16, MASK)  # a folder
    node.polygon([(1, 4), (6, 4), (8, 6), (15, 6), (15, 14), (1, 14)], GOLD_DARK)
    node.polygon([(2, 7), (15, 7), (14, 13), (2, 13)], YELLOW)
    node.rect(2, 7, 14, 7, (255, 245, 170, 255))
    page = Canvas(16, 16, MASK)  # a blank sheet with a folded corner
    page.polygon([(3, 1), (10, 1), (13, 4), (13, 15), (3, 15)], WHITE)
    page.frame(3, 1, 13, 15, GREY)
    page.rect(10, 1, 13, 1, MASK)
    page.rect(13, 1, 13, 3, MASK)
    page.line(10, 1, 13, 4, GREY)
    page.rect(10, 2, 10, 4, GREY)
    page.rect(10, 4, 12, 4, GREY)
    page.rect(11, 2, 11, 3, LIGHT)
    page.put(12, 3, LIGHT)
    for y in (7, 9, 11):
        page.rect(5, y, 11, y, LIGHT)
    strip.blit(node, 0, 0)
    strip.blit(page, 16, 0)
    return strip


# ---------------------------------------------------------------------------------------------
# The page bitmaps: 32 x 32 on the mask colour.

def page():
    return Canvas(32, 32, MASK)


def general():
    c = page()
    c.disc(15.5, 15.5, 14, BLUE_DARK)
    c.disc(15.5, 15.5, 12.5, BLUE)
    c.disc(13.5, 12.5, 5, BLUE_LIGHT)
    c.rect(14, 7, 17, 10, WHITE)
    c.rect(12, 13, 17, 14, WHITE)
    c.rect(14, 15, 17, 23, WHITE)
    c.rect(12, 24, 19, 25, WHITE)
    return c


def cable():
    c = page()
    # A cable curving in from the lower left into a plug.
    c.line(2, 29, 8, 23, BLUE_DARK, 4)
    c.line(8, 23, 12, 18, BLUE_DARK, 4)
    c.line(2, 29, 8, 23, BLUE, 2)
    c.line(8, 23, 12, 18, BLUE, 2)
    c.polygon([(10, 17), (16, 11), (22, 17), (16, 23)], BLUE_DARK)  # boot
    c.polygon([(14, 12), (20, 6), (29, 15), (23, 21)], (235, 240, 245, 255))  # clear plug body
    c.line(20, 6, 29, 15, GREY)
    c.line(14, 12, 20, 6, GREY)
    c.line(23, 21, 29, 15, GREY)
    for i in range(4):  # gold contacts
        c.line(21 + i, 8 + i, 22 + i, 7 + i, GOLD)
    c.line(17, 15, 22, 10, GREY)  # latch
    return c


def driver():
    c = page()
    # A gear behind a chip: the software that drives the controller.
    c.disc(15.5, 15.5, 13, GREY)
    for (x0, y0, x1, y1) in [(13, 0, 18, 31), (0, 13, 31, 18)]:
        c.rect(x0, y0, x1, y1, GREY)
    for points in ([(4, 7), (7, 4), (27, 24), (24, 27)], [(24, 4), (27, 7), (7, 27), (4, 24)]):
        c.polygon(points, GREY)
    c.disc(15.5, 15.5, 10, DARK)
    c.disc(15.5, 15.5, 9, GREY)
    c.box(10, 10, 21, 21, BLACK, DARK)
    for i in range(11, 21, 3):
        c.put(i, 9, LIGHT)
        c.put(i, 22, LIGHT)
        c.put(9, i, LIGHT)
        c.put(22, i, LIGHT)
    c.rect(12, 12, 14, 14, BLUE_LIGHT)
    return c


def diagnostics():
    c = page()
    # A chip under test with a green tick.
    c.box(3, 6, 20, 23, BLACK, DARK)
    for i in range(7, 23, 3):
        c.rect(1, i, 2, i, LIGHT)
        c.rect(21, i, 22, i, LIGHT)
    c.rect(5, 8, 7, 10, GREY)
    c.line(13, 20, 18, 25, GREEN_DARK, 4)
    c.line(18, 25, 29, 10, GREEN_DARK, 4)
    c.line(13, 20, 18, 25, GREEN, 2)
    c.line(18, 25, 29, 10, GREEN, 2)
    return c


def send_receive():
    c = page()
    # Two computers' arrows: one to the right above, one to the left below.
    c.rect(3, 8, 19, 11, BLUE)
    c.polygon([(19, 3), (29, 9.5), (19, 16)], BLUE)
    c.rect(12, 20, 28, 23, GREEN)
    c.polygon([(12, 15), (2, 21.5), (12, 28)], GREEN)
    return c


def statistics():
    c = page()
    c.rect(3, 3, 4, 28, DARK)
    c.rect(3, 27, 29, 28, DARK)
    for x0, top, colour in [(7, 18, BLUE), (13, 11, GREEN), (19, 15, ORANGE), (25, 6, RED)]:
        c.box(x0, top, x0 + 3, 26, colour, BLACK)
    c.line(8, 15, 14, 8, BLACK)
    c.line(14, 8, 20, 12, BLACK)
    c.line(20, 12, 26, 3, BLACK)
    return c


def wake_on_lan():
    c = page()
    # The power symbol, lit.
    c.ring(15.5, 17, 12, 3, ORANGE)
    c.rect(12, 2, 19, 12, MASK)
    c.rect(14, 2, 17, 16, ORANGE)
    c.rect(15, 3, 16, 15, YELLOW)
    return c


def advanced_setting():
    c = page()
    # Three sliders at different settings.
    for y, knob in [(6, 20), (15, 9), (24, 16)]:
        c.rect(3, y, 28, y + 1, DARK)
        c.box(knob - 2, y - 3, knob + 2, y + 4, BLUE_LIGHT, BLUE_DARK)
    return c


def vlan():
    c = page()
    # One trunk splitting into three coloured networks.
    c.box(12, 2, 19, 8, GREY, DARK)
    c.rect(15, 9, 16, 14, DARK)
    c.rect(4, 14, 27, 15, DARK)
    for x, colour in [(4, BLUE), (15, GREEN), (26, PURPLE)]:
        c.rect(x, 16, x + 1, 20, DARK)
        c.box(x - 3, 21, x + 4, 28, colour, BLACK)
    return c


def green_feature():
    c = page()
    # A leaf with its vein and stem.
    c.polygon([(4, 27), (6, 13), (14, 5), (28, 3), (26, 16), (18, 25)], LEAF)
    c.polygon([(4, 27), (6, 13), (14, 5), (9, 17)], GREEN)
    c.line(4, 27, 24, 7, GREEN_DARK)
    c.line(10, 21, 10, 15, GREEN_DARK)
    c.line(14, 17, 19, 17, GREEN_DARK)
    c.line(17, 14, 17, 9, GREEN_DARK)
    c.line(2, 29, 5, 26, GREEN_DARK, 2)
    return c


IMAGES = {
    "icon_128.png": lambda: network_card(),
    "icon_131.png": adapter_small,
    "icon_301.png": lambda: network_card(0),
    "icon_302.png": lambda: network_card(1),
    "icon_303.png": lambda: network_card(2),
    "icon_304.png": lambda: network_card(3),
    "icon_305.png": lambda: network_card(4),
    "bitmap_136.png": tree_images,
    "bitmap_159.png": general,
    "bitmap_165.png": cable,
    "bitmap_168.png": driver,
    "bitmap_170.png": diagnostics,
    "bitmap_171.png": send_receive,
    "bitmap_172.png": statistics,
    "bitmap_173.png": wake_on_lan,
    "bitmap_174.png": advanced_setting,
    "bitmap_175.png": vlan,
    "bitmap_176.png": green_feature,
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "utility", "resources", "images")
    os.makedirs(out, exist_ok=True)
    for name, draw in IMAGES.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(draw().png())


if __name__ == "__main__":
    main()
