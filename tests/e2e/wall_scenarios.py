"""Wall display scenarios: functions name(desktop, server, program, folder) like those in run_e2e.py."""

import datetime
import glob
import hashlib
import json
import os
import shutil
import signal
import socket
import threading
import time

from Xlib import X, display
from Xlib.ext import screensaver

from desktop import SCREEN, Skyvane, check, eventually, expect, png, probe_video, wait_for
from remote_scenarios import curl, free_port

FEED_PAGE = b"<html><head><title>feed</title></head><body style='margin:0'>" \
            b"<img src='/feed.png' style='width:100%;height:100vh'></body></html>"
BLUE, RED = (30, 120, 200), (200, 60, 30)


def publish_feed(server, colour):
    server.publish("/feed", FEED_PAGE, "text/html")
    server.publish("/feed.png", png(800, 500, colour))


def amber(c):
    return c[0] > 170 and 100 < c[1] < 180 and c[2] < 90


def wall_display_is_never_blanked(desktop, server, program, folder):
    """The X server's own screen saver, set to start after 3 idle seconds and already on, goes off when
    the kiosk starts and stays off while it shows a page and nobody touches anything; after the program
    it comes on again."""
    x = display.Display(desktop.env["DISPLAY"])
    try:
        root = x.screen().root
        saver_on = lambda: root.screensaver_query_info().state == screensaver.StateOn
        x.set_screen_saver(3, 0, X.PreferBlanking, X.AllowExposures)
        x.sync()
        wait_for("the screen saver before the program", saver_on, timeout=10)
        app = Skyvane(desktop, program, folder)
        wid = app.start("--kiosk", server.url("wall"))
        desktop.wait_title(wid, "^wall - ")
        wait_for("the screen back on for the kiosk", lambda: not saver_on(), timeout=10)
        time.sleep(8)  # idle, more than twice the screen saver's time
        check(not saver_on(), "the screen saver came on over the wall display")
        desktop.key("ctrl+q")
        app.process.wait(20)
        wait_for("the screen saver after the program", saver_on, timeout=10)
    finally:
        x.close()


def a_followed_site_is_shown_within_a_minute_of_publishing(desktop, server, program, folder):
    """--follow --interval 10 on a site whose page and picture carry ETag and Last-Modified: while
    nothing changes the site is only asked (304s and HEADs, no full load of the picture); a picture
    published 30 s after the start is on screen within 75 s, and status.json tells when it changed."""
    publish_feed(server, BLUE)
    port = free_port()
    app = Skyvane(desktop, program, folder)
    started = time.monotonic()
    wid = app.start("--kiosk", "--follow", "--interval", "10", "--serve", "127.0.0.1:%d" % port, server.url("feed"))
    desktop.wait_title(wid, "^feed - ")
    full = lambda: [a for a in server.answers if a == ("GET", "/feed.png", 200)]
    wait_for("the first picture", lambda: len(full()) == 1)
    time.sleep(max(0.0, started + 30 - time.monotonic()))
    expect(len(full()), 1, "full loads of the picture while it did not change")
    publish_feed(server, RED)
    published = datetime.datetime.now(datetime.timezone.utc).replace(microsecond=0)
    wait_for("the new picture on screen", lambda: desktop.pixel(wid, SCREEN[0] // 2, SCREEN[1] // 2) == RED,
             timeout=max(1.0, started + 75 - time.monotonic()))
    asked = [a for a in server.answers if a[2] == 304 or a[0] == "HEAD"]
    check(asked, "the site was never asked cheaply: %s" % server.answers)
    status = json.loads(curl("http://127.0.0.1:%d/status.json" % port)[1])
    changed = datetime.datetime.fromisoformat(status["changedTime"].replace("Z", "+00:00"))
    check(changed >= published - datetime.timedelta(seconds=1), "the change told: %s" % status)
    app.end()


def a_stalled_feed_is_told_until_its_next_picture(desktop, server, program, folder):
    """Frames kept 20 s apart and the same picture for five minutes since: at a 1-minute interval the
    feed is stalled, amber in the kiosk corner and "stalled" in status.json; the next new picture ends it."""
    publish_feed(server, BLUE)
    port = free_port()
    status = lambda: json.loads(curl("http://127.0.0.1:%d/status.json" % port)[1] or "{}")
    args = ("--kiosk", "--interval", "1", "--serve", "127.0.0.1:%d" % port, server.url("feed"))
    app = Skyvane(desktop, program, folder)
    app.start(*args)
    eventually(status, lambda s: s.get("framesKept") == 1, timeout=30)
    app.end()
    frames = os.path.join(folder, "Frames", hashlib.sha1(server.url("feed").encode()).hexdigest()[:12])
    kept = glob.glob(os.path.join(frames, "*.png"))
    expect(len(kept), 1, "frames kept by the first run")
    now = datetime.datetime.now(datetime.timezone.utc)
    for seconds in (300, 320, 340, 360):  # the site's cadence: 20 s; its last change five minutes ago
        at = now - datetime.timedelta(seconds=seconds)
        shutil.copy(kept[0], os.path.join(frames, at.strftime("%Y%m%dT%H%M%S") + "000Z.png"))
    os.remove(kept[0])
    wid = app.start(*args)
    said = eventually(status, lambda s: s.get("state") == "stalled", timeout=40)
    check(said.get("changedAgeSeconds", 0) >= 300, "the picture's change told: %s" % said)
    corner = eventually(lambda: desktop.pixel(wid, SCREEN[0] - 20, 20), amber, timeout=5)
    check(amber(corner), "the corner label is %s, not amber" % (corner,))
    publish_feed(server, RED)
    token = open(os.path.join(folder, "RemoteToken")).read().strip()
    curl("http://127.0.0.1:%d/refresh" % port, "-X", "POST", "-H", "Authorization: Bearer " + token)
    eventually(status, lambda s: s.get("state") == "ok", timeout=30)
    corner = eventually(lambda: desktop.pixel(wid, SCREEN[0] - 20, 20), lambda c: not amber(c), timeout=5)
    check(not amber(corner), "the corner label stayed amber after the new picture")
    app.end()


def the_kiosk_plays_the_last_frames_as_a_loop(desktop, server, program, folder):
    """--kiosk --loop 3 on a page of another colour at each load, refreshed three times through the
    remote view: the screen shows the last three frames in turn, the newest the longest (the dwell),
    and never the oldest, which the loop has left out. The remote view's loops hold the four frames
    kept: an H.264 MP4 in yuv420p and a GIF, as ffprobe reads them."""
    colours = [(200, 40, 40), (40, 190, 60), (40, 60, 200), (210, 200, 40)]
    server.colours["/loopy"] = ["#%02x%02x%02x" % c for c in colours]
    port = free_port()
    status = lambda: json.loads(curl("http://127.0.0.1:%d/status.json" % port)[1] or "{}")
    app = Skyvane(desktop, program, folder)
    wid = app.start("--kiosk", "--loop", "3", "--serve", "127.0.0.1:%d" % port, server.url("loopy"))
    eventually(status, lambda s: s.get("framesKept") == 1, timeout=30)
    token = open(os.path.join(folder, "RemoteToken")).read().strip()
    for kept in (2, 3, 4):
        curl("http://127.0.0.1:%d/refresh" % port, "-X", "POST", "-H", "Authorization: Bearer " + token)
        eventually(status, lambda s: s.get("framesKept") == kept, timeout=30)
    seen, started = [], time.monotonic()
    while time.monotonic() < started + 8:
        seen.append(desktop.pixel(wid, SCREEN[0] // 2, SCREEN[1] // 2))
    near = lambda a, b: all(abs(x - y) < 24 for x, y in zip(a, b))
    counts = [sum(1 for s in seen if near(s, c)) for c in colours]
    check(all(counts[1:]) and counts[0] == 0, "frames seen %s in %d samples" % (counts, len(seen)))
    check(counts[3] > max(counts[1], counts[2]), "the newest not dwelt on: %s" % counts)
    for name, expected in (("loop.mp4", ("h264", "yuv420p", 4)), ("loop.gif", ("gif", "bgra", 4))):
        path = os.path.join(folder, "..", name)
        expect(curl("http://127.0.0.1:%d/%s" % (port, name), "-o", path)[0], 200, "the status of /" + name)
        expect(probe_video(path), expected, "/%s as ffprobe reads it" % name)
    app.end()


def systemd_hears_ready_alive_and_how_it_goes(desktop, server, program, folder):
    """Started as by a Type=notify unit (a datagram socket of the test's as NOTIFY_SOCKET, a watchdog of
    2 s): READY=1 once the first picture shows, STATUS= naming the picture, WATCHDOG=1 every second;
    with the whole program stopped (SIGSTOP) the pings stop, and they come again once it goes on."""
    path = os.path.join(os.path.dirname(folder), "notify.sock")
    sock = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
    sock.bind(path)
    sock.settimeout(0.2)
    heard, stop = [], threading.Event()

    def listen():
        while not stop.is_set():
            try:
                heard.append((time.monotonic(), sock.recv(4096).decode()))
            except socket.timeout:
                pass

    listener = threading.Thread(target=listen, daemon=True)
    listener.start()
    try:
        app = Skyvane(desktop, program, folder)
        env = dict(desktop.env, NOTIFY_SOCKET=path, WATCHDOG_USEC="2000000")
        app.start("--kiosk", "--interval", "10", server.url("wall"), env=env)
        said = lambda text: [t for t, m in heard if m.startswith(text)]
        wait_for("READY=1", lambda: said("READY=1"), timeout=30)
        check("/wall" in server.requests, "ready before the page was asked for")
        time.sleep(2)
        # Nothing the program starts (a session bus launched on demand) speaks for it.
        check(len(said("READY=1")) == 1, "READY=1 more than once: %s" % heard)
        check(any(m.startswith("STATUS=") and "picture, refreshing every 10 min" in m for _, m in heard),
              "no status naming the picture: %s" % heard)
        time.sleep(3)
        stopped = time.monotonic()
        app.process.send_signal(signal.SIGSTOP)
        time.sleep(3.5)
        resumed = time.monotonic()
        app.process.send_signal(signal.SIGCONT)
        time.sleep(3)
        pings = said("WATCHDOG=1")
        check(len([t for t in pings if stopped - 3 <= t < stopped]) >= 2, "pings before the stop: %s" % pings)
        check(not [t for t in pings if stopped + 0.5 < t < resumed - 0.5], "pings while stopped (%.1f-%.1f): %s" % (stopped, resumed, pings))
        check(len([t for t in pings if t > resumed]) >= 2, "no pings after the stop: %s" % pings)
        app.end()
    finally:
        stop.set()
        listener.join(2)
        sock.close()


def screen_dark(x):
    """Whether the X server shows nothing: DPMS off where it has DPMS, else its screen saver on."""
    if x.has_extension("DPMS"):
        return x.dpms_info().power_level != 0  # DPMSModeOn
    return x.screen().root.screensaver_query_info().state == screensaver.StateOn


def the_wall_sleeps_outside_its_hours(desktop, server, program, folder):
    """--kiosk --interval 1 with --awake hours that begin two minutes on: while it sleeps the web server
    is asked nothing, the screen is dark and status.json says asleep; when the hours begin the screen
    lights and the page is asked for at once. Started again asleep, a move of the pointer wakes it, the
    page asked for at once."""
    x = display.Display(desktop.env["DISPLAY"])
    try:
        now = datetime.datetime.now()
        begins = (now + datetime.timedelta(minutes=2)).replace(second=0, microsecond=0)
        hours = "%s-%s" % (begins.strftime("%H:%M"), now.strftime("%H:%M"))
        port = free_port()
        app = Skyvane(desktop, program, folder)
        app.start("--kiosk", "--interval", "1", "--serve", str(port), "--awake", hours, server.url("wall"))
        state = lambda: json.loads(curl("http://127.0.0.1:%d/status.json" % port)[1] or "{}").get("state")
        wait_for("the state asleep", lambda: state() == "asleep", timeout=20)
        wait_for("the screen dark", lambda: screen_dark(x), timeout=10)
        while datetime.datetime.now() < begins - datetime.timedelta(seconds=3):
            check(not server.requests, "asked for %s while asleep" % server.requests)
            check(screen_dark(x), "the screen lit while asleep")
            time.sleep(1)
        server.wait_request("/wall", timeout=20)
        check(datetime.datetime.now() >= begins, "the page was asked for before the hours began")
        wait_for("the screen lit", lambda: not screen_dark(x), timeout=5)
        wait_for("the state ok", lambda: state() == "ok", timeout=20)
        app.end()

        server.requests.clear()
        later = (datetime.datetime.now() + datetime.timedelta(hours=2)).strftime("%H:%M")
        app.start("--kiosk", "--interval", "1", "--awake", "%s-%s" % (later, now.strftime("%H:%M")),
                  server.url("wall"))
        wait_for("the screen dark", lambda: screen_dark(x), timeout=20)
        time.sleep(3)
        check(not server.requests, "asked for %s while asleep" % server.requests)
        for at in ((300, 300), (340, 320), (380, 340)):
            desktop.xdotool("mousemove", str(at[0]), str(at[1]))
            time.sleep(0.2)
        server.wait_request("/wall", timeout=10)
        wait_for("the screen lit", lambda: not screen_dark(x), timeout=5)
        app.end()
    finally:
        x.close()


def renderers_of(pid):
    """The engine's page renderers started by the program pid."""
    parents, found = {}, []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as f:
                parents[int(entry)] = int(f.read().rsplit(")", 1)[1].split()[1])
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                if b"--type=renderer" in f.read():
                    found.append(int(entry))
        except (OSError, IndexError, ValueError):
            pass

    def descends(p):
        while p > 1:
            if p == pid:
                return True
            p = parents.get(p, 0)
        return False
    return sorted(p for p in found if descends(p))


def a_renderer_that_keeps_dying_ends_the_program_for_systemd(desktop, server, program, folder):
    """Supervised (NOTIFY_SOCKET set) with CrashPause=1 in Skyvane.conf: the page's renderer killed
    (kill -9) each time it is back, five times and once more after the fresh page, ends the program
    with status 75 after one line saying why, its settings saved on the way out."""
    path = os.path.join(os.path.dirname(folder), "notify75.sock")
    sock = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
    sock.bind(path)
    try:
        app = Skyvane(desktop, program, folder)
        with open(os.path.join(folder, "Skyvane.conf"), "w") as f:
            f.write("[Refresh]\nCrashPause=1\n")
        app.start("--kiosk", server.url("wall"), env=dict(desktop.env, NOTIFY_SOCKET=path))
        desktop.wait_title(app.wid, "^wall - ")
        started = time.time()
        killed = set()
        for crash in range(1, 8):
            if app.process.poll() is not None:
                break
            alive = eventually(lambda: renderers_of(app.process.pid),
                               lambda r: app.process.poll() is not None or (r and not set(r) & killed),
                               timeout=40)
            if app.process.poll() is not None:
                break
            time.sleep(1)  # the page loaded in it
            for pid in alive:
                os.kill(pid, signal.SIGKILL)
                killed.add(pid)
        code = app.process.wait(60)
        app.log.seek(0)
        output = app.log.read()
        expect(code, 75, "the exit status (%s)" % output)
        check(crash >= 6, "ended after %d crashes" % crash)
        said = [l for l in output.splitlines() if l.startswith("skyvane:") and "running as root" not in l]
        check(len(said) == 1 and "crash" in said[0], "what was said: %r" % output)
        record = os.path.join(folder, "Skyvn.ini")
        check(os.path.exists(record) and os.path.getmtime(record) >= started, "the settings were not saved")
    finally:
        sock.close()
