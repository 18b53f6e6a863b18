# SPDX-License-Identifier: MIT
"""Start-up with a list file that cannot be read, one without palettes, and what the program leaves
of the list file."""

import os
import subprocess
import tempfile
import unittest

from harness import (BINARY, HEADER_BLUE, NAME_LABEL, WINDOW_TAN, ChromaboxTestCase, fixture, poll, read_bytes,
                     swatch_rect)

INITIAL_CODE = "RGB(123,123,123)"
LIST_MESSAGE = "^Chromabox List$"


class StartupTest(ChromaboxTestCase):

    def test_unreadable_list_is_reported_over_the_window(self):
        d = self.display
        # A folder under the list's name: it exists, but it cannot be read as a file, even by root.
        app = self.chromabox({"Chromabox.ini": {}}).start()
        box = poll(lambda: (d.search(LIST_MESSAGE, pid=app.proc.pid) or [None])[0], 20, what="the message box")
        main = app.find_window()
        poll(lambda: d.is_viewable(box) and d.active_window() == box, 10, what="the message box to take the focus")
        self.assertTrue(d.is_viewable(main), "the main window is visible behind the message")
        self.assertEqual(d.geometry(main)[2:], (650, 450))
        self.assertIn(hex(main), d.prop(box, "WM_TRANSIENT_FOR"), "the message belongs to the main window")
        self.assertIn("_NET_WM_STATE_MODAL", d.prop(box, "_NET_WM_STATE"))
        bx, by, bw, bh = d.geometry(box)
        mx, my, mw, mh = d.geometry(main)
        self.assertTrue(mx <= bx and bx + bw <= mx + mw and my <= by and by + bh <= my + mh,
                        f"message {(bx, by, bw, bh)} lies over the window {(mx, my, mw, mh)}")

        self.assertRegex(d.prop(box, "_NET_WM_NAME"), r'= "Chromabox List"\n?$')
        # The window behind is painted, not a blank frame waiting for the message to go.
        behind = app.stable_screenshot()
        self.assert_colour(behind, 5, 50, HEADER_BLUE, "band behind the message")
        self.assert_colour(behind, 5, 100, WINDOW_TAN, "window behind the message")

        # The message's text cannot be read back on X11 (its label is neither selectable nor
        # copyable); what can be seen is one line of text above one button, with the button's
        # caption in the lower part.
        shot = d.screenshot(box)
        dark_rows = sorted({y for y in range(shot.height) for x in range(shot.width) if sum(shot.pixel(x, y)) < 300})
        clusters = []
        for y in dark_rows:
            if clusters and y - clusters[-1][-1] <= 2:
                clusters[-1].append(y)
            else:
                clusters.append([y])
        self.assertEqual(len(clusters), 2, f"one line of text and one button caption: rows {dark_rows}")
        button_y = (clusters[1][0] + clusters[1][-1]) // 2
        button_xs = [x for x in range(shot.width) if sum(shot.pixel(x, button_y)) < 300]
        ok_at = (bx + (button_xs[0] + button_xs[-1]) // 2, by + button_y)

        # While the message is up, the main window takes no input.
        app.origin = d.geometry(main)[:2]
        app.click_button("Quit")
        app.park()
        self.assertTrue(app.running())
        poll(lambda: d.active_window() == box, 10, what="the message box to keep the focus")

        def click_ok():
            d.click_at(*ok_at)
            poll(lambda: not d.search(LIST_MESSAGE, pid=app.proc.pid), 10, what="the message box to close")
            app.wait_ready()

        # The main window gets the focus back, but no code box does.
        self.expect_no_copy(app, click_ok, "on closing the message")
        for k in range(5):
            self.expect_copy(app, lambda: app.key("Tab"), INITIAL_CODE, f"Tab to box {k + 1}")
        shot = app.stable_screenshot()
        faces = {shot.pixel(x + w // 2, y + h // 2) for x, y, w, h in map(swatch_rect, range(1, 6))}
        self.assertEqual(len(faces), 1, "the five swatches look alike")
        self.assertNotEqual(faces, {(0, 0, 0)}, "the swatches are not black before any palette is shown")
        name_shown = shot.crop(*NAME_LABEL)
        # The navigation buttons have nothing to show.
        for button in ("|<", "<", ">", ">|", "Display PB Hex"):
            app.click_button(button)
        self.expect_copy(app, lambda: app.click_box(1), INITIAL_CODE, "a click into box 1")
        app.click_button("Quit")
        self.assert_clean_exit(app)

        # The name reads "myChosen Palette": a palette of that name looks the same in the label.
        other = self.launch({"Chromabox.ini": "Name1 = myChosen Palette\nHexString1 = 000000\n"})
        self.assertEqual(other.stable_screenshot().crop(*NAME_LABEL), name_shown)

    def test_other_unreadable_lists(self):
        def fifo(path):
            os.mkfifo(path)

        def no_access(path):
            if os.geteuid() == 0:
                self.skipTest("root reads a file of mode 000")
            with open(path, "w") as f:
                f.write("Name1 = Unreadable\nHexString1 = FFAA33,112233,445566,778899,AABBCC\n")
            os.chmod(path, 0)

        rows = [
            # what is under the list's name, how it is made
            ("nothing", lambda path: None),
            ("a named pipe with no writer", fifo),
            ("a file of mode 000", no_access),
        ]
        for name, make in rows:
            with self.subTest(list=name):
                app = self.chromabox()
                make(os.path.join(app.workdir, "Chromabox.ini"))
                app.start()
                box = poll(lambda: (self.display.search(LIST_MESSAGE, pid=app.proc.pid) or [None])[0], 20,
                           what="the message box")
                poll(lambda: self.display.active_window() == box, 10, what="the message box to take the focus")
                self.display.key("Return")
                app.wait_ready()
                self.expect_copy(app, lambda: app.key("Tab"), INITIAL_CODE, "Tab to box 1")
                app.click_button("Quit")
                self.assert_clean_exit(app)

    def test_lists_without_palettes_start_quietly(self):
        rows = [
            # file content (bytes)
            b"",
            b"\xef\xbb\xbf",
            b"; only a comment\r\n\r\n",
            b"[Palettes]\nName1 = Hidden\nHexString1 = FFAA33,112233,445566,778899,AABBCC\n",
            b"Name2 = No first palette\nHexString2 = FFAA33,112233,445566,778899,AABBCC\n",
        ]
        for content in rows:
            with self.subTest(content=content):
                app = self.chromabox({"Chromabox.ini": content}).launch(active=False)
                app.barrier()
                self.assertEqual(self.display.search(LIST_MESSAGE), [], "no message")
                self.assertEqual(self.display.active_window(), app.window)
                self.expect_copy(app, lambda: app.key("Tab"), INITIAL_CODE, "Tab to box 1")
                app.click_button(">")
                self.expect_copy(app, lambda: app.click_box(5), INITIAL_CODE, "a click into box 5")
                app.click_button("Quit")
                self.assert_clean_exit(app)

    def test_list_file_is_left_alone(self):
        rows = [("three.ini", fixture("three.ini")), ("examples", self.examples()["Chromabox.ini"])]
        for name, source in rows:
            with self.subTest(list=name):
                app = self.chromabox({"Chromabox.ini": source})
                path = os.path.join(app.workdir, "Chromabox.ini")
                os.utime(path, ns=(978307200_000000000, 978307200_123456789))
                os.chmod(path, 0o644)
                before = (read_bytes(path), os.stat(path).st_mtime_ns, sorted(os.listdir(app.workdir)))
                app.launch()
                app.click_button(">|")
                app.click_button("Display PB Hex")
                app.click_box(3)
                app.click_button("|<")
                app.click_button("Quit")
                self.assert_clean_exit(app)
                after = (read_bytes(path), os.stat(path).st_mtime_ns, sorted(os.listdir(app.workdir)))
                self.assertEqual(after, before)


class NoDisplayTest(unittest.TestCase):

    def test_without_a_display_it_says_so_and_ends(self):
        # What a person sees starting it from a text console: one line, a failing exit code, no
        # core dump and no wait.
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        with tempfile.TemporaryDirectory(prefix="chromabox no display ") as workdir:
            result = subprocess.run([BINARY], cwd=workdir, env=env, stdin=subprocess.DEVNULL, capture_output=True,
                                    timeout=10, text=True)
            self.assertEqual(os.listdir(workdir), [], "nothing is written where it was started")
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stdout, "")
        self.assertEqual(result.stderr.splitlines(),
                         ["chromabox: no display to open a window on (neither DISPLAY nor WAYLAND_DISPLAY is set)"])


if __name__ == "__main__":
    unittest.main()
