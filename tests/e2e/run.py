# SPDX-License-Identifier: MIT
"""Runs end-to-end test modules: python3 tests/e2e/run.py test_window [test_clipboard ...]

Exits 77 (CTest's skip code here) only when there is no Xvfb to run the program on; any other
missing tool is a failure, since tools/install-deps.sh installs them all."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness  # noqa: E402


def main():
    modules = sys.argv[1:] or ["test_window", "test_palettes", "test_clipboard", "test_startup", "test_commands",
                                "test_clipboard_manager"]
    missing = harness.tools_missing()
    if "Xvfb" in missing:
        print("Xvfb is not installed: skipping the end-to-end tests (tools/install-deps.sh test installs it)")
        return 77
    if missing:
        print(f"missing tools: {', '.join(missing)} (tools/install-deps.sh test installs them)")
        return 1
    if not os.access(harness.BINARY, os.X_OK):
        print(f"no program to test at {harness.BINARY} (set CHROMABOX_BINARY)")
        return 1
    program = unittest.main(module=None, argv=[sys.argv[0], *modules], verbosity=2, exit=False)
    return 0 if program.result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
