# SPDX-License-Identifier: MIT
"""Copied codes outlive Chromabox where a clipboard manager runs: on X11 Qt hands the clipboard to
the owner of CLIPBOARD_MANAGER (here xfce4-clipman) when the program ends."""

import os
import shutil
import subprocess
import unittest

from harness import ChromaboxTestCase, end_process, fixture, poll


class ClipboardManagerTest(ChromaboxTestCase):

    def start_manager(self):
        self.assertIsNotNone(shutil.which("xfce4-clipman"), "xfce4-clipman (tools/install-deps.sh test installs it)")
        home = os.path.join(self.tmp, "manager home")
        os.makedirs(home)
        env = dict(self.display.tool_env(), HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_CACHE_HOME=os.path.join(home, ".cache"), XDG_DATA_HOME=os.path.join(home, ".local"))
        manager = subprocess.Popen(["xfce4-clipman"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                   start_new_session=True)
        self.addCleanup(end_process, manager)
        poll(self.manager_owns, 20, what="xfce4-clipman to own CLIPBOARD_MANAGER")
        return manager

    def manager_owns(self):
        # xclip asks the owner of a selection by name; only a running manager answers for this one.
        result = subprocess.run(["xclip", "-o", "-selection", "CLIPBOARD_MANAGER", "-t", "TARGETS"],
                                env=self.display.tool_env(), stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                timeout=5)
        return b"There is no owner" not in result.stderr

    def test_copied_code_outlives_the_program(self):
        self.start_manager()
        app = self.launch({"Chromabox.ini": fixture("three.ini")})
        self.expect_copy(app, lambda: app.click_box(1), "RGB(255, 170, 051)", "a click into box 1")
        app.click_button("Quit")
        self.assert_clean_exit(app)
        poll(lambda: self.clipboard.read() == "RGB(255, 170, 051)", 10,
             what="the manager to answer with the code Chromabox copied")

    def test_without_a_manager_the_code_ends_with_the_program(self):
        app = self.launch({"Chromabox.ini": fixture("three.ini")})
        self.expect_copy(app, lambda: app.click_box(1), "RGB(255, 170, 051)", "a click into box 1")
        app.click_button("Quit")
        self.assert_clean_exit(app)
        self.assertIn(self.clipboard.read(), (None, ""), "nobody holds the clipboard any more")


if __name__ == "__main__":
    unittest.main()
