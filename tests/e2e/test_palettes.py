# SPDX-License-Identifier: MIT
"""What the window shows of the palettes: swatch colours, code texts in the three formats, and the
navigation buttons."""

import unittest

from harness import (NAME_LABEL, ChromaboxTestCase, checked_options, fixture, hex_colour, rgb_text, swatch_rect)

# tests/e2e/data/three.ini
THREE = [
    ("First Light", ["FFAA33", "112233", "#00FF7F", "#ffaa33", "808080"]),
    ("Primaries", ["0000FF", "00FF00", "FF0000", "FFFFFF", "000000"]),
    ("Third Row", ["123456", "654321", "ABCDEF", "FEDCBA", "0F0F0F"]),
]

# examples/Chromabox.ini, the palettes the tests look at.
EXAMPLE_2 = ["#0B3C5D", "#328CC1", "#D9B310", "#1D2731", "#F4F4F4"]
EXAMPLE_13 = ["#a8dadc", "#457b9d", "#1d3557", "#f1faee", "#e63946"]

OPTION_AREA = (30, 360, 110, 80)  # the three option buttons


class PaletteTest(ChromaboxTestCase):

    def read_boxes(self, app):
        return [self.read_box(app, k) for k in range(1, 6)]

    def assert_swatches(self, app, codes, what):
        shot = app.stable_screenshot()
        for k, code in enumerate(codes, start=1):
            x, y, w, h = swatch_rect(k)
            expected = hex_colour(code) if code else (0, 0, 0)
            for px, py in ((x + 2, y + 2), (x + w // 2, y + h // 2), (x + w - 3, y + h - 3)):
                self.assert_colour(shot, px, py, expected, f"swatch {k} of {what}")
        return shot

    def test_example_palettes(self):
        app = self.launch(self.examples())
        rows = [
            # button, codes of the palette it shows
            (">", EXAMPLE_2),
            (">|", EXAMPLE_13),
        ]
        for button, codes in rows:
            with self.subTest(button=button):
                app.click_button(button)
                self.assert_swatches(app, codes, f"the palette after {button}")
                self.assertEqual(self.read_boxes(app), [rgb_text(c.lstrip("#")) for c in codes])
                app.click_button("Display HTML Hex")
                self.assertEqual(self.read_boxes(app), codes, "HTML Hex shows the codes as the file has them")
        app.click_button("Quit")
        self.assert_clean_exit(app)

    def test_missing_codes_show_black(self):
        app = self.launch({"Chromabox.ini": fixture("two-codes.ini")})
        self.assert_swatches(app, ["FFAA33", "112233", "", "", ""], "a palette with two codes")
        self.assertEqual(self.read_boxes(app), ["RGB(255, 170, 051)", "RGB(017, 034, 051)"] + ["RGB(000, 000, 000)"] * 3)
        # The file has no third to fifth code: HTML Hex shows (and copies) nothing for them.
        app.click_button("Display HTML Hex")
        self.assertEqual(self.read_boxes(app), ["FFAA33", "112233", "", "", ""])
        app.click_button("Quit")
        self.assert_clean_exit(app)

    def test_formats(self):
        app = self.launch({"Chromabox.ini": fixture("three.ini")})
        p1 = THREE[0][1]
        rgb1 = ["RGB(255, 170, 051)", "RGB(017, 034, 051)", "RGB(000, 255, 127)", "RGB(255, 170, 051)",
                "RGB(128, 128, 128)"]
        pb1 = ["$33AAFF", "$332211", "$7FFF00", "$33AAFF", "$808080"]
        self.assertEqual(self.read_boxes(app), rgb1, "RGB() at start")
        name_before = app.stable_screenshot().crop(*NAME_LABEL)
        rows = [
            # option button, texts of boxes 1 to 5
            ("Display PB Hex", pb1),
            ("Display HTML Hex", p1),
            ("Display HTML Hex", p1),
            ("Display RGB()", rgb1),
            ("Display PB Hex", pb1),
            ("Display RGB()", rgb1),
            ("Display HTML Hex", p1),
        ]
        for button, expected in rows:
            with self.subTest(button=button):
                app.click_button(button)
                self.assertEqual(self.read_boxes(app), expected)
                shot = self.assert_swatches(app, p1, "the first palette")
                self.assertEqual(checked_options(shot), [button])
                self.assertEqual(shot.crop(*NAME_LABEL), name_before, "the palette's name stays")
        # The formats follow the palette on screen.
        app.click_button(">")
        app.click_button("Display PB Hex")
        self.assertEqual(self.read_boxes(app), ["$FF0000", "$00FF00", "$0000FF", "$FFFFFF", "$000000"])
        app.click_button("Display HTML Hex")
        self.assertEqual(self.read_boxes(app), THREE[1][1])
        app.click_button("Quit")
        self.assert_clean_exit(app)

    def test_navigation(self):
        app = self.launch({"Chromabox.ini": fixture("three.ini")})
        start = app.stable_screenshot()
        self.assertEqual(checked_options(start), ["Display RGB()"], "checked at start")
        options_rgb_checked = start.crop(*OPTION_AREA)
        names = {1: start.crop(*NAME_LABEL)}
        self.assertEqual(self.read_box(app, 1), rgb_text("FFAA33"))
        rows = [
            # option clicked first (or None), navigation button, palette then shown
            (None, "<", 1),             # the first stays the first
            (None, "|<", 1),
            ("Display PB Hex", ">", 2),
            (None, ">", 3),
            ("Display HTML Hex", ">", 3),  # the last stays the last
            (None, "<", 2),
            (None, "|<", 1),
            ("Display PB Hex", ">|", 3),
            ("Display HTML Hex", "<", 2),
            (None, "<", 1),
            ("Display PB Hex", "|<", 1),
            ("Display HTML Hex", ">|", 3),
        ]
        for option, button, index in rows:
            with self.subTest(option=option, button=button, shows=index):
                if option:
                    app.click_button(option)
                app.click_button(button)
                name, codes = THREE[index - 1]
                shot = self.assert_swatches(app, codes, name)
                self.assertEqual(checked_options(shot), ["Display RGB()"])
                self.assertEqual(shot.crop(*OPTION_AREA), options_rgb_checked, "the options look as at start")
                label = shot.crop(*NAME_LABEL)
                if index in names:
                    self.assertEqual(label, names[index], f"the name of palette {index}")
                else:
                    self.assertNotIn(label, names.values(), f"palette {index} has a name of its own")
                    names[index] = label
                self.assertEqual(self.read_boxes(app), [rgb_text(c.lstrip("#")) for c in codes])
        app.click_button("Quit")
        self.assert_clean_exit(app)

    def test_codes_beyond_ascii_are_copied_as_utf8(self):
        rows = [
            # file bytes, what box 2 shows in HTML Hex
            ("\ufeffName1 = UTF-8 list\nHexString1 = #ffaa33,ÄÖÜ123,€1B2C3,112233,445566\n".encode("utf-8"),
             "ÄÖÜ123", "€1B2C3"),
            (b"Name1 = Latin-1 list\nHexString1 = #ffaa33,\xc4\xd6\xdc123,\xe91B2C3,112233,445566\n",
             "ÄÖÜ123", "é1B2C3"),
        ]
        for content, box2, box3 in rows:
            with self.subTest(box2=box2):
                app = self.launch({"Chromabox.ini": content})
                app.click_button("Display HTML Hex")
                self.assertEqual(self.read_box(app, 1), "#ffaa33")
                self.assertEqual(self.read_box(app, 2), box2)
                self.assertEqual(self.read_box(app, 3), box3)
                app.click_button("Quit")
                self.assert_clean_exit(app)


if __name__ == "__main__":
    unittest.main()
