# SPDX-License-Identifier: MIT
"""The window itself: title, size, place, fixed colours, logo, and the controls that ignore clicks."""

import os
import struct
import unittest

from harness import (BOX_YELLOW, CLIENT_H, CLIENT_W, EXAMPLES, HEADER_BLUE, HINT_CAPTION, HINT_TEXT, LOGO_AT,
                     NAME_LABEL, SCREEN_H, SCREEN_W, WINDOW_TAN, ChromaboxTestCase, Image, checked_options, close_to,
                     code_box_rect, hex_colour, poll, read_bytes, swatch_rect)

AUTUMN = ["8C3B1F", "D9822B", "F2C14E", "6B7F3A", "3E2A1E"]


def bmp_bytes(width, height, top, bottom, top_down=False):
    """A 24-bit BMP: the upper half in `top`, the lower half in `bottom`. Rows are stored bottom
    row first, as usual, or top row first (a negative height) when top_down."""
    row_size = (width * 3 + 3) & ~3
    rows = []
    for y in (range(height) if top_down else range(height - 1, -1, -1)):
        r, g, b = top if y < height // 2 else bottom
        rows.append(bytes((b, g, r)) * width + b"\0" * (row_size - width * 3))
    pixels = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, 24, 0, len(pixels), 3780,
                       3780, 0, 0)
    return header + info + pixels


class WindowTest(ChromaboxTestCase):

    def test_title_size_and_place(self):
        app = self.launch(self.examples())
        d = self.display
        self.assertRegex(d.prop(app.window, "_NET_WM_NAME"), r'= "Chromabox 1\.0"\n?$')
        self.assertRegex(d.prop(app.window, "WM_NAME"), r'= "Chromabox 1\.0"\n?$')
        x, y, w, h = d.geometry(app.window)
        self.assertEqual((w, h), (CLIENT_W, CLIENT_H), "client area")
        left, right, top, bottom = d.frame_extents(app.window)
        outer_w, outer_h = w + left + right, h + top + bottom
        # Centred by the outer size; an odd leftover pixel may go either way.
        self.assertLessEqual(abs((x - left) - (SCREEN_W - outer_w) / 2), 0.5, "horizontal centring of the frame")
        self.assertLessEqual(abs((y - top) - (SCREEN_H - outer_h) / 2), 0.5, "vertical centring of the frame")
        self.assertGreater(top, 0, "the window has a title bar")

    def test_cannot_be_resized_or_maximised(self):
        app = self.launch(self.examples())
        d = self.display
        hints = d.prop(app.window, "WM_NORMAL_HINTS")
        self.assertIn("minimum size: 650 by 450", hints)
        self.assertIn("maximum size: 650 by 450", hints)
        actions = d.prop(app.window, "_NET_WM_ALLOWED_ACTIONS")
        self.assertNotIn("MAXIMIZE", actions)
        self.assertNotIn("_NET_WM_ACTION_RESIZE", actions)
        before = d.geometry(app.window)

        d.run(["wmctrl", "-i", "-r", hex(app.window), "-b", "add,maximized_vert,maximized_horz"])
        d.run(["xdotool", "windowsize", str(app.window), "900", "700"])
        # openbox handles requests in the order they came: once it has set "above", it has
        # answered the two before.
        d.run(["wmctrl", "-i", "-r", hex(app.window), "-b", "add,above"])
        poll(lambda: "_NET_WM_STATE_ABOVE" in d.prop(app.window, "_NET_WM_STATE"), 10, what="the window manager")
        app.barrier()
        self.assertEqual(d.geometry(app.window)[2:], (CLIENT_W, CLIENT_H))
        self.assertNotIn("MAXIMIZED", d.prop(app.window, "_NET_WM_STATE"))
        self.assertEqual(d.geometry(app.window), before, "the window stayed where it was")

    def test_fixed_colours_and_first_example_palette(self):
        app = self.launch(self.examples())
        shot = app.stable_screenshot()
        # The band, left of the logo and right of the title.
        for x, y in ((2, 2), (5, 50), (645, 30), (620, 57)):
            self.assert_colour(shot, x, y, HEADER_BLUE, "header band")
        self.assert_colour(shot, 5, 62, WINDOW_TAN, "window just under the band")
        for x, y in ((5, 100), (645, 445), (15, 340), (630, 200)):
            self.assert_colour(shot, x, y, WINDOW_TAN, "window background")
        for k, code in enumerate(AUTUMN, start=1):
            sx, sy, sw, sh = swatch_rect(k)
            fill = hex_colour(code)
            for px, py in ((sx + 1, sy + 1), (sx + sw // 2, sy + sh // 2), (sx + sw - 2, sy + sh - 2)):
                self.assert_colour(shot, px, py, fill, f"swatch {k}")
            # A one-pixel border, then the colour.
            for px, py in ((sx, sy + sh // 2), (sx + sw - 1, sy + sh // 2), (sx + sw // 2, sy), (sx + sw // 2, sy + sh - 1)):
                self.assertFalse(close_to(shot.pixel(px, py), fill, 40), f"swatch {k} border at ({px}, {py})")
            self.assert_colour(shot, sx - 1, sy + sh // 2, WINDOW_TAN, f"left of swatch {k}")
            self.assert_colour(shot, sx + sw, sy + sh // 2, WINDOW_TAN, f"right of swatch {k}")
            bx, by, bw, bh = code_box_rect(k)
            # Inside the frame, clear of the text.
            self.assert_colour(shot, bx + 3, by + 3, BOX_YELLOW, f"code box {k}")
            self.assert_colour(shot, bx + bw - 4, by + bh - 4, BOX_YELLOW, f"code box {k}")
            self.assert_colour(shot, bx - 1, by + bh // 2, WINDOW_TAN, f"left of code box {k}")
            self.assert_colour(shot, bx + bw, by + bh // 2, WINDOW_TAN, f"right of code box {k}")
        self.assertEqual(checked_options(shot), ["Display RGB()"], "checked at start")
        caption = shot.crop(*HINT_CAPTION)
        self.assertTrue(any(c[0] > 150 and c[1] < 80 and c[2] < 80 for c in caption.colours()), "a red hint caption")
        # The palette's name is written in white on tan.
        name = shot.crop(*NAME_LABEL)
        self.assertTrue(any(close_to(c, (255, 255, 255), 10) for c in name.colours()), "white name text")
        self.assertTrue(any(close_to(c, WINDOW_TAN, 0) for c in name.colours()), "tan name background")

    def test_example_logo_is_blended_over_the_band(self):
        app = self.launch(self.examples())
        shot = app.stable_screenshot()
        logo = os.path.join(EXAMPLES, "Palette Logo.png")
        size = self.display.run(["identify", "-format", "%w %h", logo]).split()
        w, h = int(size[0]), int(size[1])
        expected = Image.from_ppm(self.display.run(
            ["convert", "-size", f"{w}x{h}", "xc:rgb(0,103,153)", logo, "-composite", "-depth", "8", "ppm:-"],
            binary=True))
        actual = shot.crop(LOGO_AT[0], LOGO_AT[1], w, h)
        worst = max(abs(a - b) for a, b in zip(actual.data, expected.data))
        if worst > 6:
            actual.save_png(os.path.join(self.tmp, "logo-actual.png"))
        self.assertLessEqual(worst, 6, "logo drawn unscaled at (10, 5), blended over the band")
        # Around the picture the band shows.
        for x, y in ((LOGO_AT[0] - 1, LOGO_AT[1] + h // 2), (LOGO_AT[0] + w, LOGO_AT[1] + h // 2),
                     (LOGO_AT[0] + w // 2, LOGO_AT[1] - 1), (LOGO_AT[0] + w // 2, LOGO_AT[1] + h)):
            self.assert_colour(shot, x, y, HEADER_BLUE, "band around the logo")

    def test_logo_picture_formats(self):
        """The example logo in other encodings looks the same as ImageMagick draws it over the band."""
        logo = os.path.join(EXAMPLES, "Palette Logo.png")
        rows = [
            # encoding, ImageMagick options and output format
            ("PNG with a colour table", ["PNG8:"]),
            ("grey PNG with alpha", ["-colorspace", "Gray", "-define", "png:color-type=4", "PNG:"]),
            ("16-bit RGBA PNG", ["-depth", "16", "PNG64:"]),
            ("interlaced PNG", ["-interlace", "PNG", "PNG32:"]),
            ("32-bit BMP with alpha", ["BMP:"]),
            ("16-colour BMP", ["-alpha", "off", "-colors", "16", "BMP3:"]),
        ]
        for name, options in rows:
            with self.subTest(logo=name):
                *convert_options, out_format = options
                picture = os.path.join(self.tmp, "logo " + name)
                self.display.run(["convert", logo, *convert_options, out_format + picture])
                w, h = (int(v) for v in self.display.run(["identify", "-format", "%w %h", picture]).split())
                expected = Image.from_ppm(self.display.run(
                    ["convert", "-size", f"{w}x{h}", "xc:rgb(0,103,153)", picture, "-composite", "-depth", "8",
                     "ppm:-"], binary=True))
                app = self.launch({"Chromabox.ini": self.examples()["Chromabox.ini"],
                                   "Palette Logo.png": "@" + picture})
                actual = app.stable_screenshot().crop(LOGO_AT[0], LOGO_AT[1], w, h)
                worst = max(abs(a - b) for a, b in zip(actual.data, expected.data))
                self.assertLessEqual(worst, 6, f"{name} logo drawn as ImageMagick draws it")
                app.click_button("Quit")
                self.assert_clean_exit(app)

    def test_logo_file_variants(self):
        logo_bytes = read_bytes(os.path.join(EXAMPLES, "Palette Logo.png"))
        red, green = (200, 30, 40), (20, 180, 60)
        rows = [
            # name, file content, expected colours of the logo area as {(x, y): colour}
            ("missing", None, {}),
            ("text file", "not a picture\n", {}),
            ("cut-off PNG", logo_bytes[:len(logo_bytes) // 2], {}),
            ("folder", {}, {}),
            ("BMP", bmp_bytes(20, 10, red, green), {(0, 0): red, (19, 4): red, (0, 5): green, (19, 9): green}),
            ("top-down BMP", bmp_bytes(20, 10, red, green, top_down=True),
             {(0, 0): red, (19, 4): red, (0, 5): green, (19, 9): green}),
        ]
        for name, content, inside in rows:
            with self.subTest(logo=name):
                files = {"Chromabox.ini": self.examples()["Chromabox.ini"]}
                if content is not None:
                    files["Palette Logo.png"] = content
                app = self.launch(files)
                shot = app.stable_screenshot()
                for (dx, dy), colour in inside.items():
                    self.assert_colour(shot, LOGO_AT[0] + dx, LOGO_AT[1] + dy, colour, f"{name} logo pixel")
                covered = {(LOGO_AT[0] + dx, LOGO_AT[1] + dy) for dx in range(20) for dy in range(10)} if inside else set()
                # Everywhere else under where a logo could be (the title label starts at x = 90), the band.
                for x in range(0, 90, 3):
                    for y in range(0, 60, 3):
                        if (x, y) not in covered:
                            self.assert_colour(shot, x, y, HEADER_BLUE, f"band with a {name} logo")
                self.assertNotIn("Chromabox List", self.display.run(["wmctrl", "-l"]))
                app.click_button("Quit")
                self.assert_clean_exit(app)

    def test_passive_controls_ignore_clicks(self):
        app = self.launch(self.examples())
        self.assertEqual(self.read_box(app, 2), "RGB(217, 130, 043)")
        before = app.stable_screenshot()
        def centre(rect):
            return rect[0] + rect[2] // 2, rect[1] + rect[3] // 2

        spots = [("band", (620, 8)), ("logo", (30, 20)), ("title", (200, 30)), ("name", centre(NAME_LABEL)),
                 ("swatch 1", centre(swatch_rect(1))), ("swatch 5", (565, 250)), ("hint caption", (152, 346)),
                 ("hint text", centre(HINT_TEXT)), ("window", (640, 440))]
        for name, (x, y) in spots:
            self.expect_no_copy(app, lambda: app.click(x, y), f"after a click on the {name}")
        # Nothing changed on screen, and box 2 kept the focus: a click into it copies nothing,
        # and Tab goes on to box 3.
        self.assertEqual(app.stable_screenshot(), before)
        self.expect_no_copy(app, lambda: app.click_box(2), "after a click into box 2 that kept the focus")
        self.expect_copy(app, lambda: app.key("Tab"), "RGB(242, 193, 078)", "Tab from box 2")


if __name__ == "__main__":
    unittest.main()
