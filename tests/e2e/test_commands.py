# SPDX-License-Identifier: MIT
"""The Database button (the companion program) and the ways to end the program."""

import os
import unittest

from harness import ChromaboxTestCase, fixture, poll


def process_state(pid):
    """The state letter of a process from /proc, or None when it is gone."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0]
    except (FileNotFoundError, ProcessLookupError):
        return None


def parent_of(pid):
    with open(f"/proc/{pid}/stat") as f:
        return int(f.read().rsplit(")", 1)[1].split()[1])


class CommandsTest(ChromaboxTestCase):

    def visible_windows(self):
        return sorted(self.display.run(["xdotool", "search", "--onlyvisible", "--name", ".*"], check=False).split())

    def test_database_starts_the_companion_each_time(self):
        app = self.launch({"Chromabox.ini": fixture("three.ini")})
        app.click_button("Database")
        poll(lambda: len(app.companion_starts()) == 1, 10, what="the first start of the companion")
        app.click_button("Database")
        poll(lambda: len(app.companion_starts()) == 2, 10, what="the second start of the companion")
        starts = app.companion_starts()
        workdir = os.path.realpath(app.workdir)
        for pid, cwd, argc, args in starts:
            self.assertEqual((cwd, argc, args), (workdir, "0", ""), "started in Chromabox's folder, no arguments")
            self.assertNotEqual(parent_of(int(pid)), app.proc.pid, "started detached, not as a child")
        self.assertTrue(app.running())
        self.assertEqual(self.display.active_window(), app.window)

        app.click_button("Quit")
        self.assert_clean_exit(app)
        for pid, *_ in starts:
            self.assertNotIn(process_state(int(pid)), (None, "Z"), f"companion {pid} outlives Chromabox")

    def test_database_without_the_companion(self):
        app = self.launch({"Chromabox.ini": fixture("three.ini")}, fake_companion=False)
        windows = self.visible_windows()
        self.expect_no_copy(app, lambda: app.click_button("Database"), "by Database")
        app.click_button("Database")
        app.barrier()
        self.assertEqual(self.visible_windows(), windows, "no window came or went")
        self.assertEqual(self.display.active_window(), app.window)
        # Still working: the next click into a box copies it.
        self.expect_copy(app, lambda: app.click_box(1), "RGB(255, 170, 051)", "a click into box 1")
        app.click_button("Quit")
        self.assert_clean_exit(app)

    def test_ways_to_end(self):
        rows = [
            # how, what does it
            ("Quit button", lambda app: app.click_button("Quit")),
            ("Quit by keyboard", lambda app: app.key(*["shift+Tab"] * 4, "space")),
            ("close request", lambda app: self.display.run(["wmctrl", "-i", "-c", hex(app.window)])),
            ("Alt+F4", lambda app: app.key("alt+F4")),
            ("close request with a box focused",
             lambda app: (app.click_box(3), self.display.run(["wmctrl", "-i", "-c", hex(app.window)]))),
        ]
        for how, action in rows:
            with self.subTest(how=how):
                app = self.launch(self.examples())
                action(app)
                self.assert_clean_exit(app)


if __name__ == "__main__":
    unittest.main()
