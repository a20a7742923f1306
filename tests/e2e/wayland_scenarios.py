"""Wayland scenarios: functions name(desktop, server, program, folder) like those in run_e2e.py. They run under
weston's headless backend, each with a runtime folder of its own and no X display."""

import glob
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

from desktop import SCREEN_SAVER_MOCK, Skyvane, check, eventually, expect, png_pixel, read_settings, settings_record, wait_for
from remote_scenarios import curl, free_port

WIDTH, HEIGHT = 1024, 640
GREEN, BLUE = (0, 160, 0), (0, 0, 192)


class Weston:
    """weston --backend=headless-backend.so with the pixman renderer and its screenshooter (--debug)."""

    def __init__(self, desktop, folder):
        self.runtime = os.path.join(os.path.dirname(folder), "wayland-runtime")
        os.makedirs(self.runtime, mode=0o700, exist_ok=True)
        # A session bus of the test's, with the desktop's screen saver service as a mock that logs its calls.
        self.bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address"],
                                    stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.env = dict(desktop.env, XDG_RUNTIME_DIR=self.runtime, WAYLAND_DISPLAY="wayland-skyvane",
                        DBUS_SESSION_BUS_ADDRESS=self.bus.stdout.readline().strip())
        self.env.pop("DISPLAY", None)
        template, self.calls = os.path.join(self.runtime, "screensaver.py"), os.path.join(self.runtime, "calls.log")
        with open(template, "w") as f:
            f.write(SCREEN_SAVER_MOCK)
        self.saver = subprocess.Popen(["/usr/bin/python3", "-m", "dbusmock", "-t", template, "-l", self.calls],
                                      env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        ping = ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.ScreenSaver",
                "/org/freedesktop/ScreenSaver", "org.freedesktop.DBus.Peer.Ping"]
        wait_for("the screen saver mock", lambda: subprocess.run(ping, env=self.env, capture_output=True).returncode == 0)
        self.process = subprocess.Popen(
            ["weston", "--backend=headless-backend.so", "--use-pixman", "--socket=wayland-skyvane", "--idle-time=0",
             "--width=%d" % WIDTH, "--height=%d" % HEIGHT, "--debug"],
            env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for("weston's socket", lambda: os.path.exists(os.path.join(self.runtime, "wayland-skyvane")), timeout=20)

    def screenshot(self):
        """The screen as weston's screenshooter saves it, as a PNG file's path (None when it could not)."""
        where = tempfile.mkdtemp(dir=self.runtime)
        try:
            subprocess.run(["weston-screenshooter"], cwd=where, env=self.env, timeout=20, capture_output=True)
        except subprocess.TimeoutExpired:
            return None
        shots = glob.glob(os.path.join(where, "*.png"))
        return shots[0] if shots else None

    def colours(self):
        shot = self.screenshot()
        if shot is None:
            return []
        return [png_pixel(shot, x, f) for x, f in ((3, 0.01), (WIDTH // 2, 0.5), (WIDTH - 3, 0.99), (40, 0.9))]

    def called(self, name):
        return os.path.exists(self.calls) and (" %s " % name) in open(self.calls).read()

    def close(self):
        for p in (self.process, self.saver, self.bus):
            p.terminate()
            p.wait(10)


def start(app, weston, *args):
    log = tempfile.TemporaryFile(mode="w+")
    process = subprocess.Popen([app.program, *args], cwd=app.folder, env=weston.env, stdout=log,
                               stderr=subprocess.STDOUT)
    return process, log


def end(process, log):
    process.send_signal(signal.SIGTERM)
    code = process.wait(20)
    log.seek(0)
    output = log.read()
    expect(code, 0, "the exit status (%s)" % output)
    return output


def the_kiosk_runs_natively_on_wayland(desktop, server, program, folder):
    """With only WAYLAND_DISPLAY set, --kiosk comes up as a Wayland client: the page fills weston's screen
    (its screenshooter), a refresh asked over the remote view comes under the cover and shows, the
    screen is held on through the desktop's screen saver service (weston offers no idle inhibit), and the
    program runs on until SIGTERM ends it, letting go of the screen. A window, ended, keeps the place it was given in Skyvn.ini (Wayland
    never tells it another) and the size it had."""
    weston = Weston(desktop, folder)
    try:
        server.colours["/wall"] = ["#00a000", "#0000c0"]
        port = free_port()
        app = Skyvane(desktop, program, folder, settings=settings_record(600.0, 300.0, 9000.0, 6000.0))
        process, log = start(app, weston, "--kiosk", "--serve", str(port), server.url("wall"))
        server.wait_request("/wall", timeout=30)
        seen = eventually(weston.colours, lambda c: c == [GREEN] * 4, timeout=30)
        expect(seen, [GREEN] * 4, "the page across weston's screen")
        token = eventually(lambda: open(os.path.join(folder, "RemoteToken")).read().strip(), bool)
        wait_for("the state ok", lambda: '"state":"ok"' in curl("http://127.0.0.1:%d/status.json" % port)[1])
        expect(curl("http://127.0.0.1:%d/refresh" % port, "-X", "POST", "-H", "Authorization: Bearer " + token)[0],
               202, "a refresh with the token")
        seen = eventually(weston.colours, lambda c: c == [BLUE] * 4, timeout=30)
        expect(seen, [BLUE] * 4, "the refreshed page across weston's screen")
        picture = os.path.join(weston.runtime, "picture.png")  # the remote view's, as the engine drew it
        subprocess.run(["curl", "-s", "-m", "10", "-o", picture, "http://127.0.0.1:%d/picture.png" % port], check=True)
        expect(png_pixel(picture, WIDTH // 2, 0.5), BLUE, "the remote view's picture")
        check(process.poll() is None, "the kiosk ended by itself")
        # weston 10 offers no idle inhibit of its own: the desktop's screen saver service is asked instead.
        check(eventually(lambda: weston.called("Inhibit"), bool), "no Inhibit call")
        end(process, log)
        check(weston.called("UnInhibit"), "the inhibit was not released")
        expect(read_settings(folder)["main"], (600.0, 300.0, 9000.0, 6000.0), "the kiosk saved")

        process, log = start(app, weston, server.url("wall"))
        wait_for("the window's page", lambda: server.requests.count("/wall") >= 3, timeout=30)
        time.sleep(2)
        end(process, log)
        left, top, width, height = read_settings(folder)["main"]
        expect((left, top), (600.0, 300.0), "the place kept")
        check(abs(width - 9000) <= 150 and abs(height - 6000) <= 600, "the size kept: %s" % ((width, height),))
    finally:
        weston.close()


def the_kiosk_holds_off_idle_where_the_compositor_offers_it(desktop, server, program, folder):
    """Under cage (a wlroots kiosk compositor, headless, which offers the idle-inhibit protocol that weston
    10 does not; run as nobody when the test runs as root, which wlroots refuses): the kiosk asks for an idle
    inhibitor on its own window's surface, as the client's protocol log (WAYLAND_DEBUG) shows, and the page
    is loaded."""
    runtime = tempfile.mkdtemp(prefix="skyvane-cage-")  # where nobody can reach it, unlike the test's folder
    as_user = []
    if os.geteuid() == 0:
        os.chown(runtime, 65534, 65534)
        as_user = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"]
    env = dict(desktop.env, XDG_RUNTIME_DIR=runtime, HOME=runtime, WLR_BACKENDS="headless", WLR_RENDERER="pixman",
               WLR_LIBINPUT_NO_DEVICES="1")
    env.pop("DISPLAY", None)
    cage = subprocess.Popen([*as_user, "cage", "--", "sleep", "600"], env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        wait_for("cage's socket", lambda: os.path.exists(os.path.join(runtime, "wayland-0")), timeout=20)
        app = Skyvane(desktop, program, folder)
        protocol = os.path.join(os.path.dirname(folder), "wayland-debug.log")
        client = dict(desktop.env, XDG_RUNTIME_DIR=runtime, WAYLAND_DISPLAY="wayland-0", WAYLAND_DEBUG="client")
        client.pop("DISPLAY", None)
        with open(protocol, "w") as log:
            process = subprocess.Popen([app.program, "--kiosk", server.url("wall")], cwd=folder, stdout=log,
                                       stderr=subprocess.STDOUT, env=client)
        try:
            server.wait_request("/wall", timeout=30)
            said = lambda: open(protocol, errors="replace").read()
            wait_for("an idle inhibitor", lambda: "create_inhibitor(" in said(), timeout=20)
            text = said()
            inhibited = re.search(r"create_inhibitor\(new id (zwp_idle_inhibitor_v1@\d+), (wl_surface@\d+)\)", text)
            check(inhibited, "no inhibitor on a surface")
            check(re.search(r"get_xdg_surface\(new id xdg_surface@\d+, %s\)" % inhibited.group(2), text),
                  "the inhibitor is not on a window's surface")
            check(process.poll() is None, "the kiosk ended by itself")
        finally:
            process.send_signal(signal.SIGTERM)
            process.wait(20)
        check(inhibited.group(1) + ".destroy()" in said(), "the inhibitor was not let go at the end")
    finally:
        cage.terminate()
        cage.wait(10)
        shutil.rmtree(runtime, ignore_errors=True)
