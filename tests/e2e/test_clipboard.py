# SPDX-License-Identifier: MIT
"""When a code box's text goes to the clipboard, and the keyboard focus order behind it."""

import subprocess
import time
import unittest

from harness import ChromaboxTestCase, code_box_rect, end_process, fixture, poll

# Box texts of tests/e2e/data/three.ini in RGB().
P1 = ["RGB(255, 170, 051)", "RGB(017, 034, 051)", "RGB(000, 255, 127)", "RGB(255, 170, 051)", "RGB(128, 128, 128)"]
P2 = ["RGB(000, 000, 255)", "RGB(000, 255, 000)", "RGB(255, 000, 000)", "RGB(255, 255, 255)", "RGB(000, 000, 000)"]
P3 = ["RGB(018, 052, 086)", "RGB(101, 067, 033)", "RGB(171, 205, 239)", "RGB(254, 220, 186)", "RGB(015, 015, 015)"]

# Where Tab goes after the five boxes, in order.
AFTER_BOXES = ["|<", "<", ">", ">|", "Database", "Quit", "Display RGB()", "Display PB Hex", "Display HTML Hex"]


class ClipboardTest(ChromaboxTestCase):

    def three(self):
        return self.launch({"Chromabox.ini": fixture("three.ini")})

    def other_window(self):
        """Opens a window of another program and waits until it has the focus; returns its id."""
        proc = subprocess.Popen(["xmessage", "-title", "chromabox-e2e-other", "-geometry", "+0+0", "another program"],
                                env=self.display.tool_env(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                start_new_session=True)
        self.addCleanup(end_process, proc)
        window = poll(lambda: (self.display.search("^chromabox-e2e-other$", pid=None) or [None])[0], 10,
                      what="the other window")
        poll(lambda: self.display.active_window() == window, 10, what="the other window to take the focus")
        return window

    def away_and_back(self, app, come_back, copied):
        """Switches to another program for a second, copies something there, comes back with
        come_back(); then checks the clipboard: `copied` is what Chromabox should have put there,
        or None for nothing."""
        other = self.other_window()
        # A person stays a moment in the other window; Qt ignores shorter absences.
        time.sleep(1.0)
        if copied is None:
            self.expect_no_copy(app, come_back, "on coming back to the window")
        else:
            self.expect_copy(app, come_back, copied, "on coming back to the window")
        poll(lambda: self.display.active_window() == app.window, 10, what="Chromabox to be active again")
        self.display.run(["wmctrl", "-i", "-c", hex(other)])

    def test_clipboard_kept_at_start(self):
        self.clipboard.own("held before Chromabox started")
        app = self.three()
        app.barrier()
        self.assertEqual(self.clipboard.read(), "held before Chromabox started")
        self.assertTrue(self.clipboard.sentinel_owns())

    def test_clicks_into_boxes(self):
        app = self.three()
        rows = [
            # what is clicked, what is then on the clipboard (None: nothing was copied)
            ("box 1", P1[0]),
            ("box 1", None),          # it already has the focus
            ("box 2", P1[1]),
            ("box 1", P1[0]),
            (">", None),              # the program rewrites the boxes: no copy
            ("box 1", P2[0]),         # the button took the focus, so box 1 gains it again
            ("box 5", P2[4]),
            ("box 5", None),
            ("Display PB Hex", None),
            ("box 5", "$000000"),
            ("Display HTML Hex", None),
            ("box 4", "FFFFFF"),
            ("|<", None),
            ("box 4", P1[3]),
            ("Display HTML Hex", None),
            ("box 4", "#ffaa33"),
            ("box 3", "#00FF7F"),
        ]
        for i, (target, expected) in enumerate(rows):
            with self.subTest(step=i, click=target):
                if target.startswith("box "):
                    action = lambda k=int(target[4:]): app.click_box(k)
                else:
                    action = lambda b=target: app.click_button(b)
                if expected is None:
                    self.expect_no_copy(app, action, f"by a click on {target}")
                else:
                    self.expect_copy(app, action, expected, f"a click on {target}")

    def test_right_click_into_a_box(self):
        app = self.three()
        right_click = lambda: self.display.run(["xdotool", "mousemove", *map(str, app.to_screen(325, 324)),
                                                "click", "3"])
        self.expect_copy(app, right_click, P1[2], "a right click into box 3")
        # Its menu takes the focus for a while and gives it back to the box: no second copy.
        self.expect_no_copy(app, lambda: app.key("Escape"), "closing the box's menu")
        self.expect_no_copy(app, lambda: app.click_box(3), "a click into box 3, which kept the focus")
        self.expect_copy(app, lambda: app.key("Tab"), P1[3], "Tab on to box 4")

    def test_tab_and_shift_tab_cycle(self):
        app = self.three()
        for k in range(5):
            self.expect_copy(app, lambda: app.key("Tab"), P1[k], f"Tab to box {k + 1}")
        self.expect_no_copy(app, lambda: app.key(*["Tab"] * len(AFTER_BOXES)), "tabbing through the buttons")
        self.expect_copy(app, lambda: app.key("Tab"), P1[0], "Tab from Display HTML Hex (wrapping)")
        self.expect_no_copy(app, lambda: app.key("shift+Tab"), "Shift+Tab from box 1 (wrapping)")
        self.expect_no_copy(app, lambda: app.key(*["shift+Tab"] * (len(AFTER_BOXES) - 1)),
                            "Shift+Tab back through the buttons")
        for k in range(4, -1, -1):
            self.expect_copy(app, lambda: app.key("shift+Tab"), P1[k], f"Shift+Tab to box {k + 1}")
        self.expect_no_copy(app, lambda: app.key("shift+Tab"), "Shift+Tab from box 1 again")
        self.expect_copy(app, lambda: app.key("Tab"), P1[0], "Tab back to box 1")

    def test_shift_tab_at_start_goes_to_the_last_option(self):
        app = self.three()
        self.expect_no_copy(app, lambda: app.key("shift+Tab"), "Shift+Tab at start")
        # Display HTML Hex has the focus now: Tab wraps to box 1, Shift+Tab goes to PB Hex.
        self.expect_no_copy(app, lambda: app.key("shift+Tab"), "Shift+Tab to Display PB Hex")
        self.expect_no_copy(app, lambda: app.key("space"), "checking Display PB Hex with the keyboard")
        self.expect_copy(app, lambda: app.key("Tab", "Tab"), "$33AAFF", "Tab, Tab from Display PB Hex")

    def test_focus_order_walk(self):
        """Walks the focus order with the keyboard, pressing Space on each control to see which
        one has the focus: Shift+Tab back to box 5 tells what is shown, Tab returns."""
        app = self.three()
        for k in range(5):
            self.expect_copy(app, lambda: app.key("Tab"), P1[k], f"Tab to box {k + 1}")

        def press(steps, box5_then, what):
            # From box 5, Tab `steps` times, Space, then Shift+Tab back to box 5, which copies.
            self.expect_no_copy(app, lambda: app.key(*["Tab"] * steps, "space"), f"Space on {what}")
            self.expect_copy(app, lambda: app.key(*["shift+Tab"] * steps), box5_then, f"Shift+Tab back from {what}")

        press(3, P2[4], ">")
        press(3, P3[4], "> again")
        press(1, P1[4], "|<")
        press(4, P3[4], ">|")
        press(2, P2[4], "<")
        press(3, P3[4], ">")
        press(8, "$0F0F0F", "Display PB Hex")
        press(9, "0F0F0F", "Display HTML Hex")
        press(7, P3[4], "Display RGB()")
        self.assertEqual(app.companion_starts(), [])
        press(5, P3[4], "Database")
        poll(lambda: len(app.companion_starts()) == 1, 10, what="the companion to start")
        self.expect_copy(app, lambda: app.key(*["Tab"] * 10), P3[0], "Tab past the last option to box 1")
        # Shift+Tab from box 1: Display HTML Hex, PB Hex, RGB(), then Quit.
        self.expect_no_copy(app, lambda: app.key(*["shift+Tab"] * 4), "Shift+Tab to Quit")
        app.key("space")
        self.assert_clean_exit(app)

    def test_code_boxes_are_read_only(self):
        app = self.three()
        self.expect_copy(app, lambda: app.click_box(2), P1[1], "a click into box 2")
        before = app.stable_screenshot()
        self.expect_no_copy(app, lambda: app.key("ctrl+a", "x", "y", "z", "BackSpace", "Delete", "ctrl+v", "Home",
                                                 "Delete", "End", "BackSpace"), "typing into box 2")
        app.barrier()
        after = app.stable_screenshot()
        x, y, w, h = code_box_rect(2)
        self.assertEqual(after.crop(x, y, w, h), before.crop(x, y, w, h), "box 2 looks as before")
        self.expect_copy(app, lambda: app.key("Tab", "shift+Tab"), P1[1], "Tab out of box 2 and back")

    def test_activation_copies_the_focused_box_again(self):
        app = self.three()
        self.expect_copy(app, lambda: app.click_box(2), P1[1], "a click into box 2")
        self.away_and_back(app, lambda: self.display.activate(app.window), P1[1])
        self.expect_no_copy(app, lambda: app.click_box(2), "a click into box 2, which has the focus")
        # Coming back by a click into another box copies that box.
        self.away_and_back(app, lambda: app.click_box(4), P1[3])
        # Coming back by a click on the band leaves the focus in box 4, which gains it again.
        self.away_and_back(app, lambda: app.click(300, 10), P1[3])
        self.expect_copy(app, lambda: app.key("Tab"), P1[4], "Tab on to box 5")

    def test_activation_without_a_focused_box_copies_nothing(self):
        app = self.three()
        # No control has the focus at start.
        self.away_and_back(app, lambda: self.display.activate(app.window), None)
        self.expect_copy(app, lambda: app.key("Tab"), P1[0], "Tab after coming back")
        # A button has the focus.
        self.expect_no_copy(app, lambda: app.click_button(">"), "a click on >")
        self.away_and_back(app, lambda: self.display.activate(app.window), None)
        self.expect_no_copy(app, lambda: app.key("Tab"), "Tab from > to >|")
        self.expect_no_copy(app, lambda: app.key("space"), "Space on >|")
        self.expect_copy(app, lambda: app.key(*["shift+Tab"] * 4), P3[4], "Shift+Tab from >| back to box 5")


if __name__ == "__main__":
    unittest.main()
