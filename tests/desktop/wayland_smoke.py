#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Starts Chromabox under a headless Weston compositor on Qt's Wayland platform, checks that its
window comes up with its title and desktop-file name and draws a buffer, then ends it with SIGTERM
as a session would and checks that it exits with code 0."""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77


def wait_for(predicate, timeout, step=0.05):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if predicate():
            return True
        time.sleep(step)
    return predicate()


def main():
    binary, source = os.environ["CHROMABOX_BINARY"], os.environ["CHROMABOX_SOURCE_DIR"]
    if shutil.which("weston") is None:
        print("weston is not installed")
        return SKIP
    with tempfile.TemporaryDirectory(prefix="chromabox wayland ") as tmp:
        runtime = os.path.join(tmp, "runtime")
        os.mkdir(runtime, 0o700)
        work = os.path.join(tmp, "work dir")
        os.mkdir(work)
        for name in ("Chromabox.ini", "Palette Logo.png"):
            shutil.copy(os.path.join(source, "examples", name), work)
        socket = "chromabox-test-%d" % os.getpid()
        env = {k: v for k, v in os.environ.items() if not k.startswith(("QT_", "WAYLAND_")) and k != "DISPLAY"}
        env.update(XDG_RUNTIME_DIR=runtime, HOME=tmp)
        weston = subprocess.Popen(
            ["weston", "--backend=headless-backend.so", "--socket=" + socket, "--idle-time=0"],
            env=env, stdout=subprocess.DEVNULL, stderr=open(os.path.join(tmp, "weston.log"), "w"))
        app = None
        try:
            if not wait_for(lambda: os.path.exists(os.path.join(runtime, socket)), 20):
                print(open(os.path.join(tmp, "weston.log")).read())
                print("FAIL: weston did not come up")
                return 1
            log_path = os.path.join(tmp, "client.log")
            app_env = dict(env, QT_QPA_PLATFORM="wayland", WAYLAND_DISPLAY=socket, WAYLAND_DEBUG="client")
            with open(log_path, "w") as log:
                app = subprocess.Popen([binary], cwd=work, env=app_env, stdout=log, stderr=log,
                                       stdin=subprocess.DEVNULL)

            def log_text():
                with open(log_path, errors="replace") as f:
                    return f.read()

            def came_up():
                text = log_text()
                return ('set_title("Chromabox 1.0")' in text and
                        'set_app_id("org.chromabox.Chromabox")' in text and
                        ".attach(wl_buffer@" in text and "commit()" in text.split(".attach(wl_buffer@", 1)[-1])

            if not wait_for(came_up, 30) or app.poll() is not None:
                print(log_text()[-4000:])
                print("FAIL: the window did not come up on Wayland")
                return 1
            app.send_signal(signal.SIGTERM)
            try:
                code = app.wait(timeout=20)
            except subprocess.TimeoutExpired:
                print("FAIL: Chromabox did not end after SIGTERM")
                return 1
            if code != 0:
                print(log_text()[-4000:])
                print("FAIL: exit code %d" % code)
                return 1
            print("ok: came up on Wayland and ended with exit code 0")
            return 0
        finally:
            for process in (app, weston):
                if process is not None and process.poll() is None:
                    process.kill()
                    process.wait()


if __name__ == "__main__":
    sys.exit(main())
