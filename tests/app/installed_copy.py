#!/usr/bin/python3
"""An installed copy (cmake --install) keeps its files in the user's data folder, never beside the
program, and reads them back at the next start. Usage: installed_copy.py BUILD_DIR"""

import os
import signal
import subprocess
import sys
import tempfile
import time


def run_until_saved(program, env, ini):
    """Starts the program, waits until its settings file exists, ends it with SIGTERM, returns the file."""
    p = subprocess.Popen([program], env=env, stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + 20
    while not os.path.exists(ini) and time.monotonic() < deadline:
        time.sleep(0.05)
    time.sleep(1.5)  # give the window a moment after start-up has loaded the file
    p.send_signal(signal.SIGTERM)
    p.wait(20)
    with open(ini, "rb") as f:
        return f.read()


with tempfile.TemporaryDirectory() as prefix:
    subprocess.run(["cmake", "--install", sys.argv[1], "--prefix", prefix], check=True, stdout=subprocess.DEVNULL)
    shared = os.path.join(prefix, "share/skyvane")
    for name in ("bin/skyvane", "share/skyvane/SkyvaneHelp.htm", "share/applications/io.github.skyvane.Skyvane.desktop",
                 "share/icons/hicolor/scalable/apps/skyvane.svg", "share/icons/hicolor/48x48/apps/skyvane.png"):
        assert os.path.isfile(os.path.join(prefix, name)), name + " is not installed"
    os.chmod(os.path.join(prefix, "bin"), 0o555)  # the program folder is not to be written
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_DATA_HOME=os.path.join(prefix, "home-data"),
               XDG_RUNTIME_DIR=prefix)
    env.pop("QTWEBENGINE_DISABLE_SANDBOX", None)  # as root the program itself must do without the sandbox
    ini = os.path.join(prefix, "home-data/Skyvane/Skyvn.ini")
    first = run_until_saved(os.path.join(prefix, "bin/skyvane"), env, ini)
    assert len(first) == 470, "the settings file has %d bytes" % len(first)
    start_page = first[30:330].decode("cp1252").rstrip(" \0")
    assert start_page == os.path.join(shared, "SkyvaneHelp.htm"), "the start page is %r" % start_page
    # The next start reads the file back from there: a marker in the carried bytes survives.
    with open(ini, "r+b") as f:
        f.seek(330)
        f.write(b"MARKER")
    second = run_until_saved(os.path.join(prefix, "bin/skyvane"), env, ini)
    assert second[330:336] == b"MARKER", "the reserved bytes became %r" % second[330:336]
    assert os.listdir(os.path.join(prefix, "bin")) == ["skyvane"], "files landed beside the program"
    assert len([f for f in os.listdir(shared) if os.path.isfile(os.path.join(shared, f))]) == 7, os.listdir(shared)
    os.chmod(os.path.join(prefix, "bin"), 0o755)
print("ok")
