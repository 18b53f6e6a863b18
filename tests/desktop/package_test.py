#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Installs Chromabox into a staging prefix and builds its Debian package, checks the installed
files with the desktop-entry and AppStream validators, and starts both the staged and the packaged
program, which must come up and end with exit code 0."""
import glob
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

APP_ID = "org.chromabox.Chromabox"
INSTALLED = [
    "bin/chromabox",
    "share/applications/%s.desktop" % APP_ID,
    "share/metainfo/%s.metainfo.xml" % APP_ID,
    "share/icons/hicolor/scalable/apps/%s.svg" % APP_ID,
    "share/icons/hicolor/48x48/apps/%s.png" % APP_ID,
    "share/icons/hicolor/256x256/apps/%s.png" % APP_ID,
    "share/doc/chromabox/examples/Chromabox.ini",
    "share/doc/chromabox/examples/Palette Logo.png",
]


def run(args, **kw):
    result = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, **kw)
    print("$ %s\n%s" % (" ".join(args), result.stdout.strip()))
    if result.returncode != 0:
        raise SystemExit("FAIL: %s exited with %d" % (args[0], result.returncode))
    return result.stdout


def starts_and_ends(binary, prefix, tmp):
    """The program comes up on the examples it was installed with and ends cleanly."""
    work = tempfile.mkdtemp(prefix="work dir ", dir=tmp)
    for path in glob.glob(os.path.join(prefix, "share/doc/chromabox/examples/*")):
        shutil.copy(path, work)
    env = {k: v for k, v in os.environ.items() if not k.startswith("QT_")}
    env.update(QT_QPA_PLATFORM="offscreen", HOME=tmp)
    app = subprocess.Popen([binary], cwd=work, env=env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    time.sleep(1.5)
    if app.poll() is not None:
        raise SystemExit("FAIL: %s ended at once with %d:\n%s" % (binary, app.returncode, app.stdout.read()))
    app.send_signal(signal.SIGTERM)
    code = app.wait(timeout=20)
    output = app.stdout.read()
    if code != 0:
        raise SystemExit("FAIL: %s ended with %d:\n%s" % (binary, code, output))
    print("ok: %s started and ended with exit code 0" % binary)


def main():
    build = os.environ["CHROMABOX_BUILD"]
    with tempfile.TemporaryDirectory(prefix="chromabox package ") as tmp:
        stage = os.path.join(tmp, "stage")
        run(["cmake", "--install", build, "--prefix", stage])
        for relative in INSTALLED:
            if not os.path.isfile(os.path.join(stage, relative)):
                raise SystemExit("FAIL: not installed: " + relative)
        run(["desktop-file-validate", os.path.join(stage, "share/applications/%s.desktop" % APP_ID)])
        run(["appstreamcli", "validate", "--no-net", os.path.join(stage, "share/metainfo/%s.metainfo.xml" % APP_ID)])
        starts_and_ends(os.path.join(stage, "bin/chromabox"), stage, tmp)

        out = os.path.join(tmp, "packages")
        run(["cpack", "-G", "DEB", "--config", os.path.join(build, "CPackConfig.cmake"), "-B", out])
        debs = glob.glob(os.path.join(out, "chromabox_*.deb"))
        if len(debs) != 1:
            raise SystemExit("FAIL: expected one package, found %s" % debs)
        info = run(["dpkg-deb", "--info", debs[0]])
        for field in ("Package: chromabox", "Section: graphics", "Depends:"):
            if field not in info:
                raise SystemExit("FAIL: the package has no '%s'" % field)
        root = os.path.join(tmp, "root")
        run(["dpkg-deb", "-x", debs[0], root])
        for relative in INSTALLED:
            if not os.path.isfile(os.path.join(root, "usr", relative)):
                raise SystemExit("FAIL: not in the package: /usr/" + relative)
        starts_and_ends(os.path.join(root, "usr/bin/chromabox"), os.path.join(root, "usr"), tmp)
    return 0


if __name__ == "__main__":
    sys.exit(main())
