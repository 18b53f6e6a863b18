# SPDX-License-Identifier: MIT
"""Drives the real Chromabox binary on a private X server (Xvfb + openbox).

Everything a test starts is ended by its pid, and every temporary folder is removed, whether the
test passes or not. Waits poll with a deadline; a fixed pause is used only where the thing waited
for is an absence (nothing was copied) or where the toolkit itself needs time to pass (Qt drops a
focus-out that a focus-in follows within a few hundred milliseconds).
"""

import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

REPO = os.environ.get("CHROMABOX_SOURCE_DIR") or os.path.abspath(
    os.path.join(os.path.dirname(__file__), "..", ".."))
BINARY = os.environ.get("CHROMABOX_BINARY") or os.path.join(REPO, "build", "window", "chromabox")
EXAMPLES = os.path.join(REPO, "examples")
DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data")

TITLE = "Chromabox 1.0"
CLIENT_W, CLIENT_H = 650, 450
SCREEN_W, SCREEN_H = 1280, 1024

# Fixed colours of the window, as red, green, blue.
HEADER_BLUE = (0, 103, 153)
WINDOW_TAN = (218, 186, 162)
BOX_YELLOW = (255, 249, 204)

# Client rectangles (x, y, width, height) of the controls.
def swatch_rect(k):
    return (30 + 120 * (k - 1), 125, 110, 180)


def code_box_rect(k):
    return (30 + 120 * (k - 1), 315, 110, 18)


BUTTONS = {
    "|<": (500, 360, 30, 30),
    "<": (530, 360, 30, 30),
    ">": (560, 360, 30, 30),
    ">|": (590, 360, 30, 30),
    "Database": (365, 400, 130, 35),
    "Quit": (500, 400, 120, 35),
    "Display RGB()": (30, 360, 110, 20),
    "Display PB Hex": (30, 390, 110, 20),
    "Display HTML Hex": (30, 420, 110, 20),
}
NAME_LABEL = (130, 75, 390, 50)
HINT_CAPTION = (147, 340, 80, 18)
HINT_TEXT = (160, 355, 300, 35)
HEADER_BAND = (0, 0, 650, 60)
LOGO_AT = (10, 5)

# Where the pointer rests between actions: on the root window, away from every test window, so
# that no control shows a hover look in a screenshot.
PARK = (1270, 1010)

OPENBOX_RC = """<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus>
    <focusNew>yes</focusNew>
    <followMouse>no</followMouse>
    <raiseOnFocus>no</raiseOnFocus>
  </focus>
  <placement><policy>Smart</policy></placement>
  <desktops><number>1</number></desktops>
  <keyboard>
    <keybind key="A-F4"><action name="Close"/></keybind>
  </keyboard>
  <mouse>
    <dragThreshold>8</dragThreshold>
    <doubleClickTime>200</doubleClickTime>
    <context name="Client">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
    </context>
    <context name="Titlebar">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="Left" action="Drag"><action name="Move"/></mousebind>
    </context>
  </mouse>
</openbox_config>
"""

# Stand-in for the companion program: one line per start (pid, working folder, argument count and
# arguments), then it stays alive so that a test can see it outlive Chromabox.
FAKE_COMPANION = """#!/bin/sh
printf '%s\\t%s\\t%s\\t%s\\n' "$$" "$(pwd -P)" "$#" "$*" >> '{log}'
exec sleep 60
"""

SANITIZER_REPORT = re.compile(r"ERROR: (Address|Leak)Sanitizer|runtime error:|SUMMARY: \w+Sanitizer")


def tools_missing():
    return [t for t in ("Xvfb", "openbox", "xdotool", "xclip", "import", "wmctrl", "xwininfo", "xprop", "xmessage")
            if shutil.which(t) is None]


def poll(predicate, timeout, interval=0.05, what="condition"):
    """Returns the first truthy value of predicate(); raises AssertionError after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


def end_process(proc, grace=3.0):
    """Ends a process we started (and its own process group), first politely, then by force."""
    if proc is None or proc.poll() is not None:
        return
    try:
        os.killpg(proc.pid, signal.SIGTERM)
    except (ProcessLookupError, PermissionError):
        proc.terminate()
    try:
        proc.wait(grace)
    except subprocess.TimeoutExpired:
        try:
            os.killpg(proc.pid, signal.SIGKILL)
        except (ProcessLookupError, PermissionError):
            proc.kill()
        proc.wait(5)


class Image:
    """One screenshot: width, height and packed RGB bytes."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    @staticmethod
    def from_ppm(raw):
        # P6 header: magic, width, height, maxval, separated by whitespace, comments allowed.
        fields, pos = [], 0
        while len(fields) < 4:
            while raw[pos:pos + 1].isspace():
                pos += 1
            if raw[pos:pos + 1] == b"#":
                pos = raw.index(b"\n", pos) + 1
                continue
            end = pos
            while not raw[end:end + 1].isspace():
                end += 1
            fields.append(raw[pos:end])
            pos = end
        if fields[0] != b"P6" or fields[3] != b"255":
            raise ValueError(f"unexpected PPM header {fields!r}")
        width, height = int(fields[1]), int(fields[2])
        data = raw[pos + 1:pos + 1 + width * height * 3]
        if len(data) != width * height * 3:
            raise ValueError("short PPM data")
        return Image(width, height, data)

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def crop(self, x, y, w, h):
        rows = [self.data[((y + j) * self.width + x) * 3:((y + j) * self.width + x + w) * 3] for j in range(h)]
        return Image(w, h, b"".join(rows))

    def colours(self):
        return {tuple(self.data[i:i + 3]) for i in range(0, len(self.data), 3)}

    def save_png(self, path):
        header = f"P6\n{self.width} {self.height}\n255\n".encode()
        subprocess.run(["convert", "ppm:-", path], input=header + self.data, check=True, timeout=20)

    def __eq__(self, other):
        return isinstance(other, Image) and (self.width, self.height, self.data) == (other.width, other.height,
                                                                                       other.data)


OPTIONS = ["Display RGB()", "Display PB Hex", "Display HTML Hex"]


def checked_options(shot):
    """The captions of the option buttons whose round indicator (at the left of the button) shows
    a dot: dark pixels where an unchecked indicator is white."""
    checked = []
    for caption in OPTIONS:
        x, y, w, h = BUTTONS[caption]
        dark = sum(1 for px in range(x, x + 16) for py in range(y, y + h) if sum(shot.pixel(px, py)) < 300)
        if dark >= 4:
            checked.append(caption)
    return checked


def close_to(a, b, tolerance=3):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


class Display:
    """A private Xvfb server with openbox on it; one per test class."""

    def __init__(self):
        self.tmp = tempfile.mkdtemp(prefix="chromabox-e2e-x-")
        self.xvfb = self.openbox = None
        self.number = None
        try:
            self._start()
        except BaseException:
            self.close()
            raise

    def _start(self):
        read_end, write_end = os.pipe()
        try:
            with open(os.path.join(self.tmp, "xvfb.log"), "wb") as log:
                self.xvfb = subprocess.Popen(
                    ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{SCREEN_W}x{SCREEN_H}x24", "-dpi", "96",
                     "-nolisten", "tcp", "-noreset"],
                    pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=log, start_new_session=True)
            os.close(write_end)
            write_end = None
            text = b""
            deadline = time.monotonic() + 20
            while not text.endswith(b"\n"):
                ready, _, _ = select.select([read_end], [], [], max(0.0, deadline - time.monotonic()))
                if not ready:
                    raise RuntimeError("Xvfb did not report a display number")
                chunk = os.read(read_end, 64)
                if not chunk:
                    raise RuntimeError("Xvfb exited before reporting a display number")
                text += chunk
        finally:
            os.close(read_end)
            if write_end is not None:
                os.close(write_end)
        self.number = int(text.strip())
        self.name = f":{self.number}"

        self.home = os.path.join(self.tmp, "home")
        os.makedirs(self.home)
        rc = os.path.join(self.tmp, "rc.xml")
        with open(rc, "w") as f:
            f.write(OPENBOX_RC)
        env = self.tool_env()
        with open(os.path.join(self.tmp, "openbox.log"), "wb") as log:
            self.openbox = subprocess.Popen(["openbox", "--config-file", rc], env=env, stdout=subprocess.DEVNULL,
                                            stderr=log, start_new_session=True)

        def wm_ready():
            if self.openbox.poll() is not None:
                raise RuntimeError("openbox exited at start")
            out = self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False)
            return "window id" in out

        poll(wm_ready, 20, what="openbox to manage the screen")

    def tool_env(self):
        env = {k: v for k, v in os.environ.items() if not k.startswith("QT_")}
        env["DISPLAY"] = self.name
        env.pop("WAYLAND_DISPLAY", None)
        if getattr(self, "home", None):
            env["HOME"] = self.home
        return env

    def run(self, argv, check=True, timeout=10, input=None, binary=False):
        result = subprocess.run(argv, env=self.tool_env(), input=input, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, timeout=timeout)
        if check and result.returncode != 0:
            raise RuntimeError(f"{argv} failed ({result.returncode}): {result.stderr.decode(errors='replace')}")
        return result.stdout if binary else result.stdout.decode(errors="replace")

    # --- windows -------------------------------------------------------------------------------

    def search(self, name_regex, pid=None):
        out = self.run(["xdotool", "search", "--name", name_regex], check=False)
        windows = [int(w) for w in out.split()]
        if pid is not None:
            windows = [w for w in windows if self.window_pid(w) == pid]
        return windows

    def window_pid(self, window):
        out = self.run(["xprop", "-id", str(window), "_NET_WM_PID"], check=False)
        m = re.search(r"= (\d+)", out)
        return int(m.group(1)) if m else None

    def prop(self, window, name):
        return self.run(["xprop", "-id", str(window), name], check=False)

    def info(self, window):
        """xwininfo's fields as a dict; empty when the window is gone."""
        result = subprocess.run(["xwininfo", "-id", str(window)], env=self.tool_env(), stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, timeout=10)
        if result.returncode != 0:
            return {}
        fields = {}
        for line in result.stdout.decode().splitlines():
            if ":" in line:
                key, _, value = line.strip().partition(":")
                fields[key.strip()] = value.strip()
        return fields

    def geometry(self, window):
        """Client area on the screen: (x, y, width, height), frame not included."""
        f = self.info(window)
        return (int(f["Absolute upper-left X"]), int(f["Absolute upper-left Y"]), int(f["Width"]), int(f["Height"]))

    def frame_extents(self, window):
        out = self.prop(window, "_NET_FRAME_EXTENTS")
        m = re.search(r"= (\d+), (\d+), (\d+), (\d+)", out)
        return tuple(int(v) for v in m.groups()) if m else None

    def active_window(self):
        out = self.run(["xprop", "-root", "_NET_ACTIVE_WINDOW"], check=False)
        m = re.search(r"# (0x[0-9a-f]+)", out)
        return int(m.group(1), 16) if m else None

    def is_viewable(self, window):
        return self.info(window).get("Map State") == "IsViewable"

    def activate(self, window):
        self.run(["wmctrl", "-i", "-a", hex(window)])

    def screenshot(self, window):
        # import grabs the server while it reads the window. Once in many runs it was seen to hang
        # there; a second attempt is made after such a hang, and the first one is described on
        # stderr so that it is not forgotten.
        argv = ["import", "-silent", "-window", str(window), "-depth", "8", "ppm:-"]
        for attempt in (1, 2):
            proc = subprocess.Popen(argv, env=self.tool_env(), stdout=subprocess.PIPE, stderr=subprocess.PIPE)
            try:
                out, err = proc.communicate(timeout=10)
            except subprocess.TimeoutExpired:
                diagnosis = self.diagnose(proc.pid)
                proc.kill()
                proc.communicate()
                if attempt == 2:
                    raise AssertionError(f"screenshot of {window} hung twice:\n{diagnosis}") from None
                print(f"\nscreenshot of {window} hung; trying again. State at the time:\n{diagnosis}",
                      file=sys.stderr)
                continue
            if proc.returncode != 0:
                raise RuntimeError(f"import failed: {err.decode(errors='replace')}")
            return Image.from_ppm(out)

    def diagnose(self, pid):
        lines = []
        for path in (f"/proc/{pid}/wchan", f"/proc/{pid}/stack", f"/proc/{pid}/status"):
            try:
                with open(path) as f:
                    lines.append(f"{path}: {f.read().strip()[:600]}")
            except OSError as e:
                lines.append(f"{path}: {e}")
        try:
            lines.append(subprocess.run(["ps", "-eo", "pid,ppid,stat,wchan:20,args"], stdout=subprocess.PIPE,
                                        text=True, timeout=10).stdout)
        except (OSError, subprocess.SubprocessError) as e:
            lines.append(f"ps: {e}")
        return "\n".join(lines)

    # --- input ---------------------------------------------------------------------------------

    def move(self, x, y):
        # Never --sync: it waits forever when the pointer is already there.
        self.run(["xdotool", "mousemove", str(x), str(y)])

    def click_at(self, x, y):
        self.run(["xdotool", "mousemove", str(x), str(y), "click", "1"])

    def key(self, *keys):
        self.run(["xdotool", "key", "--delay", "25", *keys])

    def close(self):
        end_process(self.openbox)
        end_process(self.xvfb)
        shutil.rmtree(self.tmp, ignore_errors=True)


class Clipboard:
    """The CLIPBOARD selection of one display, read and owned through xclip."""

    def __init__(self, display):
        self.display = display
        self.sentinel = None

    def read(self):
        """The selection as UTF-8 text, or None when nobody owns it or the owner does not answer."""
        try:
            result = subprocess.run(["xclip", "-o", "-selection", "clipboard", "-t", "UTF8_STRING"],
                                    env=self.display.tool_env(), stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                    timeout=5)
        except subprocess.TimeoutExpired:
            return None
        return result.stdout.decode("utf-8") if result.returncode == 0 else None

    def read_answered(self, timeout=10):
        """The selection's text, waiting for an owner that answers; the empty text counts."""
        return poll(lambda: (lambda text: None if text is None else [text])(self.read()), timeout,
                    what="the clipboard to answer")[0]

    def own(self, text):
        """Makes an xclip process own the selection with `text`; it exits as soon as anyone else
        takes the selection, which is how a copy is detected even when the text is the same."""
        self.release()
        self.sentinel = subprocess.Popen(["xclip", "-quiet", "-i", "-selection", "clipboard"],
                                         env=self.display.tool_env(), stdin=subprocess.PIPE,
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                         start_new_session=True)
        self.sentinel.stdin.write(text.encode("utf-8"))
        self.sentinel.stdin.close()
        poll(lambda: self.read() == text, 10, what="the sentinel to own the clipboard")

    def sentinel_owns(self):
        return self.sentinel is not None and self.sentinel.poll() is None

    def release(self):
        end_process(self.sentinel, grace=1)
        self.sentinel = None


class Chromabox:
    """One run of the program in a fresh working folder (with a blank in its path)."""

    def __init__(self, display, root, files=None, fake_companion=True):
        self.display = display
        self.workdir = os.path.join(root, "work dir")
        os.makedirs(self.workdir)
        self.bindir = os.path.join(root, "fake bin")
        os.makedirs(self.bindir)
        self.companion_log = os.path.join(root, "companion.log")
        if fake_companion:
            companion = os.path.join(self.bindir, "Pigmora.exe")
            with open(companion, "w") as f:
                f.write(FAKE_COMPANION.format(log=self.companion_log))
            os.chmod(companion, 0o755)
        self.home = os.path.join(root, "home")
        for sub in ("", ".config", ".local/share", ".cache", ".local/state", "runtime"):
            os.makedirs(os.path.join(self.home, sub), exist_ok=True)
        os.chmod(os.path.join(self.home, "runtime"), 0o700)
        for name, content in (files or {}).items():
            path = os.path.join(self.workdir, name)
            if content is None:
                continue
            if isinstance(content, str) and content.startswith("@"):
                shutil.copyfile(content[1:], path)
            elif isinstance(content, dict):  # a folder under that name
                os.makedirs(path)
            else:
                with open(path, "wb") as f:
                    f.write(content.encode("utf-8") if isinstance(content, str) else content)
        self.stdout_path = os.path.join(root, "chromabox.out")
        self.stderr_path = os.path.join(root, "chromabox.err")
        self.proc = None
        self.window = None
        self.origin = None
        self._last_click = (0.0, None)

    def env(self):
        env = {
            "PATH": self.bindir + os.pathsep + "/usr/local/bin:/usr/bin:/bin",
            "HOME": self.home,
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "XDG_DATA_HOME": os.path.join(self.home, ".local/share"),
            "XDG_CACHE_HOME": os.path.join(self.home, ".cache"),
            "XDG_STATE_HOME": os.path.join(self.home, ".local/state"),
            "XDG_RUNTIME_DIR": os.path.join(self.home, "runtime"),
            "DISPLAY": self.display.name,
            "QT_QPA_PLATFORM": "xcb",
            "LANG": "C.UTF-8",
            "LSAN_OPTIONS": "suppressions=" + os.path.join(REPO, "tests", "lsan.supp"),
            "UBSAN_OPTIONS": "print_stacktrace=1",
        }
        return env

    def start(self):
        with open(self.stdout_path, "wb") as out, open(self.stderr_path, "wb") as err:
            # Output goes to files, not pipes: a detached companion inherits them and would keep a
            # pipe open long after Chromabox has gone.
            self.proc = subprocess.Popen([BINARY], cwd=self.workdir, env=self.env(), stdin=subprocess.DEVNULL,
                                         stdout=out, stderr=err, start_new_session=True)
        return self

    def find_window(self, timeout=20):
        def found():
            if self.proc.poll() is not None:
                raise AssertionError(f"Chromabox exited early with {self.proc.returncode}: {self.stderr()}")
            windows = self.display.search("^Chromabox 1\\.0$", pid=self.proc.pid)
            return windows[0] if windows else None

        self.window = poll(found, timeout, interval=0.1, what="the Chromabox window")
        return self.window

    def wait_ready(self, active=True, timeout=20):
        """Waits for the window to be mapped, placed for good, focused and fully painted."""
        self.find_window(timeout)
        last = [None]

        def settled():
            if not self.display.is_viewable(self.window):
                return False
            geometry = self.display.geometry(self.window)
            stable = geometry == last[0]
            last[0] = geometry
            if not stable:
                return False
            return not active or self.display.active_window() == self.window

        poll(settled, timeout, interval=0.15, what="the window to settle")
        self.origin = self.display.geometry(self.window)[:2]
        self.park()
        self.stable_screenshot()
        return self

    def launch(self, active=True):
        self.start()
        return self.wait_ready(active=active)

    # --- reading the window --------------------------------------------------------------------

    def screenshot(self):
        return self.display.screenshot(self.window)

    def stable_screenshot(self, timeout=10):
        """A screenshot equal to the one taken just before it: late repaints have landed."""
        last = [None]

        def same():
            shot = self.screenshot()
            equal = shot == last[0]
            last[0] = shot
            return shot if equal else None

        return poll(same, timeout, interval=0.1, what="the window's picture to settle")

    # --- input ---------------------------------------------------------------------------------

    def to_screen(self, x, y):
        return self.origin[0] + x, self.origin[1] + y

    def click(self, x, y):
        """A single click at client (x, y); a second click on the same spot waits out the
        double-click interval, so that it is not taken as a double click."""
        since, where = self._last_click
        gap = time.monotonic() - since
        if where is not None and abs(where[0] - x) < 20 and abs(where[1] - y) < 20 and gap < 0.7:
            time.sleep(0.7 - gap)
        self.display.click_at(*self.to_screen(x, y))
        self._last_click = (time.monotonic(), (x, y))

    def click_rect(self, rect):
        x, y, w, h = rect
        self.click(x + w // 2, y + h // 2)

    def click_button(self, caption):
        self.click_rect(BUTTONS[caption])

    def click_box(self, k):
        self.click_rect(code_box_rect(k))

    def barrier(self, timeout=3.0):
        """Returns once the program has handled every input event sent before the call.

        The program handles X events in order, so when the hover look of the ">" button shows,
        everything sent earlier has been handled. An inactive window may show no hover look; then
        the wait runs out and stands in for the barrier."""
        spot = BUTTONS[">"]
        before = self.screenshot().crop(*spot)
        self.display.move(*self.to_screen(spot[0] + spot[2] // 2, spot[1] + spot[3] // 2))
        try:
            poll(lambda: self.screenshot().crop(*spot) != before, timeout, interval=0.05, what="hover")
        except AssertionError:
            pass
        self.park()
        try:
            poll(lambda: self.screenshot().crop(*spot) == before, timeout, interval=0.05, what="hover to end")
        except AssertionError:
            pass

    def park(self):
        self.display.move(*PARK)

    def key(self, *keys):
        self.display.key(*keys)

    # --- ending --------------------------------------------------------------------------------

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def wait_exit(self, timeout=20):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"Chromabox did not exit within {timeout} s") from None

    def stderr(self):
        try:
            with open(self.stderr_path, "rb") as f:
                return f.read().decode(errors="replace")
        except OSError:
            return ""

    def companion_starts(self):
        """(pid, working folder, argument count, arguments) for every start of the fake companion."""
        try:
            with open(self.companion_log) as f:
                return [tuple(line.rstrip("\n").split("\t")) for line in f if line.endswith("\n")]
        except FileNotFoundError:
            return []

    def stop(self):
        end_process(self.proc)
        for start in self.companion_starts():
            try:
                os.kill(int(start[0]), signal.SIGKILL)
            except (ProcessLookupError, ValueError):
                pass


class ChromaboxTestCase(unittest.TestCase):
    """One display for the class; one program run (or a few, for tables) per test."""

    display = None

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.display = Display()
        cls.addClassCleanup(cls.display.close)

    def setUp(self):
        self.clipboard = Clipboard(self.display)
        self.addCleanup(self.clipboard.release)
        self.tmp = tempfile.mkdtemp(prefix="chromabox e2e ")
        self.addCleanup(shutil.rmtree, self.tmp, True)
        self._runs = 0

    def chromabox(self, files=None, fake_companion=True):
        """A program run set up in a fresh folder, not yet started; ended at cleanup."""
        self._runs += 1
        root = os.path.join(self.tmp, f"run {self._runs}")
        os.makedirs(root)
        app = Chromabox(self.display, root, files, fake_companion)
        self.addCleanup(app.stop)
        return app

    def launch(self, files=None, **kwargs):
        return self.chromabox(files, **kwargs).launch()

    def examples(self):
        return {"Chromabox.ini": "@" + os.path.join(EXAMPLES, "Chromabox.ini"),
                "Palette Logo.png": "@" + os.path.join(EXAMPLES, "Palette Logo.png")}

    # --- clipboard expectations ----------------------------------------------------------------

    def expect_copy(self, app, action, expected, what=""):
        """Runs action and checks that it put `expected` on the clipboard (a fresh copy, even if the
        text is the same as before)."""
        self.clipboard.own("e2e-sentinel-before-copy")
        action()
        try:
            poll(lambda: not self.clipboard.sentinel_owns(), 10, what=f"a copy {what}")
        except AssertionError:
            self.fail(f"nothing was copied {what}; expected {expected!r}")
        text = self.clipboard.read_answered()
        self.assertEqual(text, expected, f"clipboard after {what}")

    def expect_no_copy(self, app, action, what=""):
        """Runs action and checks that the clipboard still holds what it held before."""
        sentinel = "e2e-sentinel-no-copy"
        self.clipboard.own(sentinel)
        action()
        app.barrier()
        # The server answers for whoever owns the selection now: still the sentinel, or Chromabox.
        text = self.clipboard.read()
        self.assertEqual(text, sentinel, f"something was copied {what}")
        self.assertTrue(app.running(), "Chromabox ended")

    def read_box(self, app, k):
        """The text of code box k, read by clicking into it (which copies it). The box must not
        have the focus already."""
        self.clipboard.own("e2e-sentinel-read-box")
        app.click_box(k)
        poll(lambda: not self.clipboard.sentinel_owns(), 10, what=f"code box {k} to be copied")
        return self.clipboard.read_answered()

    def assert_colour(self, shot, x, y, expected, what="", tolerance=3):
        actual = shot.pixel(x, y)
        self.assertTrue(close_to(actual, expected, tolerance), f"{what} at ({x}, {y}): {actual} != {expected}")

    def assert_clean_exit(self, app, timeout=20):
        code = app.wait_exit(timeout)
        self.assertEqual(code, 0, f"exit code; stderr:\n{app.stderr()}")
        self.assertIsNone(SANITIZER_REPORT.search(app.stderr()), f"sanitizer report:\n{app.stderr()}")
        poll(lambda: not self.display.search("^Chromabox 1\\.0$", pid=app.proc.pid), 10,
             what="the window to disappear")


def rgb_text(code):
    """The RGB() text of a plain six-digit code."""
    r, g, b = (int(code[i:i + 2], 16) for i in (0, 2, 4))
    return f"RGB({r:03d}, {g:03d}, {b:03d})"


def fixture(name):
    """A file of tests/e2e/data, to be copied into the working folder."""
    return "@" + os.path.join(DATA, name)


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def hex_colour(code):
    code = code.lstrip("#")
    return tuple(int(code[i:i + 2], 16) for i in (0, 2, 4))
