"""The built program on a real X desktop: Xvfb with the openbox window manager, real X input through
xdotool (XTEST), a loopback web server, and the program's record files."""

import email.utils
import http.server
import os
import re
import shutil
import struct
import subprocess
import tempfile
import threading
import time
import zlib

SCREEN = (1920, 1080)
TWIPS_PER_PIXEL = 15  # Xvfb's 96 dpi


class Failure(AssertionError):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def expect(actual, wanted, what):
    check(actual == wanted, "%s: %r, not %r" % (what, actual, wanted))


def wait_for(what, predicate, timeout=20.0, interval=0.05, settle=0.0):
    """predicate's first true value, once it has come within timeout seconds, after a pause of settle seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            time.sleep(settle)
            return value
        if time.monotonic() > deadline:
            raise Failure("timed out waiting for " + what)
        time.sleep(interval)


def eventually(value, good, timeout=10.0):
    """value()'s first result that is good, or its last one after timeout seconds, for a check to
    report: for what takes a moment to show, such as a window's place or a picture."""
    deadline = time.monotonic() + timeout
    while True:
        seen = value()
        if good(seen) or time.monotonic() > deadline:
            return seen
        time.sleep(0.05)


# --- record files -----------------------------------------------------------------------------

def settings_record(left=0.0, top=0.0, width=7095.0, height=5445.0, editor_width=6945.0,
                    editor_height=3525.0, start_page="", font_name="", font_size=0.0):
    record = struct.pack("<6fh4x", left, top, width, height, editor_width, editor_height, 0)
    record += start_page.encode("cp1252").ljust(300, b" ")
    record += bytes(6)
    record += font_name.encode("cp1252").ljust(128, b" ")
    record += struct.pack("<hf", 0, font_size)
    assert len(record) == 470
    return record


def read_settings(folder):
    with open(os.path.join(folder, "Skyvn.ini"), "rb") as f:
        data = f.read()
    check(len(data) == 470, "Skyvn.ini has %d bytes, not 470" % len(data))
    main = struct.unpack_from("<4f", data, 0)
    editor = struct.unpack_from("<2f", data, 16)
    return {
        "main": tuple(main),
        "editor": tuple(editor),
        "start_page": data[30:330].decode("cp1252").rstrip(" \0"),
        "font": data[336:464].decode("cp1252").rstrip(" \0"),
        "font_size": struct.unpack_from("<f", data, 466)[0],
    }


def site_list(sites):
    return b"".join(name.encode("cp1252").ljust(140, b" ") + url.encode("cp1252").ljust(260, b" ")
                    for name, url in sites)


def read_site_list(folder):
    with open(os.path.join(folder, "SiteList.dab"), "rb") as f:
        data = f.read()
    return [(data[i:i + 140].decode("cp1252").rstrip(), data[i + 140:i + 400].decode("cp1252").rstrip())
            for i in range(0, len(data), 400)]


# --- loopback web server ----------------------------------------------------------------------

def png_of_rows(width, height, rows):
    """A PNG picture of rows of RGB bytes."""
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + bytes(row) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 1)) + chunk(b"IEND", b""))


def png(width, height, colour, noise_rows=0):
    """A PNG picture of one colour, its first noise_rows rows random noise (a big file, slow to decode)."""
    plain = bytes(colour) * width
    return png_of_rows(width, height, (os.urandom(width * 3) if y < noise_rows else plain for y in range(height)))


def map_png(*squares, size=(400, 300)):
    """A grey map crossed by a red road (6 rows at a third of its height), with 60-pixel squares on it,
    each (left, top, colour)."""
    width, height = size
    rows = []
    for y in range(height):
        row = bytearray((b"\xfd\x00\x00" if height // 3 <= y < height // 3 + 6 else b"\x88\x88\x88") * width)
        for left, top, colour in squares:
            if top <= y < top + 60:
                row[left * 3:(left + 60) * 3] = bytes(colour) * 60
        rows.append(row)
    return png_of_rows(width, height, rows)


def probe_video(path):
    """What ffprobe reads in a video or animation: (codec, pixel format, frames decoded)."""
    out = subprocess.run(["ffprobe", "-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                          "stream=codec_name,pix_fmt,nb_read_frames", "-of", "csv=p=0", path],
                         capture_output=True, text=True, timeout=60).stdout.strip().split(",")
    return out[0], out[1] if len(out) > 2 else "", int(out[-1]) if out[-1].isdigit() else 0


def png_pixel(path, x, fraction):
    """The colour of a PNG file at x and a fraction of its height, as (r, g, b)."""
    ppm = subprocess.run(["pngtopnm", path], capture_output=True, check=True).stdout  # P6 WIDTH HEIGHT 255
    width, height, header = int(ppm.split()[1]), int(ppm.split()[2]), len(b" ".join(ppm.split()[:4])) + 1
    at = header + (int(height * fraction) * width + x) * 3
    return tuple(ppm[at:at + 3])


# A python3-dbusmock template of the desktop's screen saver service, its Inhibit answered.
SCREEN_SAVER_MOCK = """BUS_NAME = MAIN_IFACE = "org.freedesktop.ScreenSaver"
MAIN_OBJ = "/org/freedesktop/ScreenSaver"
SYSTEM_BUS = False
def load(mock, parameters):
    mock.AddMethods(MAIN_IFACE, [("Inhibit", "ss", "u", "ret = 42"), ("UnInhibit", "u", "", "")])
"""


class WebServer:
    """Serves /<name> as a page titled <name> (or as set in titles) with a link to /next, and logs
    every path. colours[path], a list, gives the page's background, the next one at each request (the
    last one stays); extra[path] is more of the page's markup. files[path], a list of bodies, serves a
    file (the next body at each request, the last one stays). faults[path] makes a path misbehave:
    ("status", code), ("hang",), ("slow", seconds) (the body spread over so many seconds), ("empty",) (200
    and nothing), ("redirect", path), ("reset",), ("truncated",), ("auth", base64 of user:password).
    publish(path, body) serves a path as a site that publishes does: with an ETag and Last-Modified,
    304 to a request that has them, and HEAD; answers logs (method, path, status) of those paths."""

    def __init__(self):
        self.requests, self.titles, self.faults, self.colours, self.extra, self.files = [], {}, {}, {}, {}, {}
        self.published, self.answers = {}, []
        self.stopping = threading.Event()
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def answer(self, status, body, length=None, headers=(), kind="text/html"):
                self.send_response(status)
                for header in (("Content-Type", kind), ("Content-Length", str(length or len(body))), *headers):
                    self.send_header(*header)
                self.end_headers()
                self.wfile.write(body)

            def published(self, head):
                path = self.path.split("?")[0]
                body, kind, etag, modified = server.published[path]
                same = (self.headers.get("If-None-Match") == etag if self.headers.get("If-None-Match")
                        else self.headers.get("If-Modified-Since") == modified)
                status = 304 if same else 200
                server.answers.append(("HEAD" if head else "GET", path, status))
                self.send_response(status)
                self.send_header("ETag", etag)
                self.send_header("Last-Modified", modified)
                self.send_header("Cache-Control", "no-cache")
                if status == 200:
                    self.send_header("Content-Type", kind)
                    self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                if status == 200 and not head:
                    self.wfile.write(body)

            def do_HEAD(self):
                if self.path.split("?")[0] in server.published:
                    self.published(True)
                else:
                    self.send_response(405)
                    self.end_headers()

            def do_GET(self):
                server.requests.append(self.path)
                path = self.path.split("?")[0]
                if path in server.published:
                    return self.published(False)
                fault = server.faults.get(path, ("status", 200))
                title = server.titles.get(path, path.strip("/") or "root")
                colours = server.colours.get(path, ["#cde"])
                colour = colours.pop(0) if len(colours) > 1 else colours[0]
                kind = "text/html"
                if path in server.files:
                    bodies = server.files[path]
                    body, tail, kind = bodies.pop(0) if len(bodies) > 1 else bodies[0], b"", "image/png"
                else:
                    body = ("<html><head><title>%s</title></head><body style='background:%s'>%s"
                            "<h1>%s</h1><p><a href='/next'>next</a></p>" % (title, colour, server.extra.get(path, ""),
                                                                            title)).encode()
                    tail = b"</body></html>"
                if fault[0] == "auth" and self.headers.get("Authorization") != "Basic " + fault[1]:
                    self.answer(401, b"<html><body>Log in first</body></html>",
                                headers=[("WWW-Authenticate", 'Basic realm="radar"')])
                elif fault[0] == "hang":
                    server.stopping.wait(600)
                elif fault[0] in ("reset", "truncated"):  # the connection closes without an answer, or half-way
                    if fault[0] == "truncated":
                        self.answer(200, body, length=2 * len(body))
                    self.close_connection = True
                elif fault[0] == "redirect":
                    self.answer(302, b"", headers=[("Location", fault[1])])
                elif fault[0] == "empty":
                    self.answer(200, b"", length="0", kind=kind)
                elif fault[0] == "slow":  # the whole body, a piece a second
                    whole = body + tail
                    step = len(whole) // int(fault[1]) + 1
                    self.answer(200, b"", length=len(whole), kind=kind)
                    for at in range(0, len(whole), step):
                        self.wfile.write(whole[at:at + step])
                        self.wfile.flush()
                        if server.stopping.wait(1):
                            return
                elif fault[0] == "status" and fault[1] != 200 and path in server.files:  # an error page
                    self.answer(fault[1], b"<html><body>Not here</body></html>")
                else:
                    self.answer(fault[1] if fault[0] == "status" else 200, body + tail, kind=kind)

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()
        self.base = "http://127.0.0.1:%d" % self.httpd.server_address[1]

    def url(self, name):
        return "%s/%s" % (self.base, name)

    def publish(self, path, body, kind="image/png"):
        """A new version of path, told by a new ETag and Last-Modified."""
        self.serial = getattr(self, "serial", 0) + 1
        modified = email.utils.formatdate(time.time() + self.serial, usegmt=True)  # never the last one's
        self.published[path] = (body, kind, '"v%d"' % self.serial, modified)

    def wait_request(self, path, timeout=20.0):
        wait_for("a request for " + path, lambda: path in self.requests, timeout)

    def close(self):
        self.stopping.set()
        self.httpd.shutdown()
        self.httpd.server_close()


# --- the X desktop ----------------------------------------------------------------------------

class Desktop:
    """An X server of its own with openbox, for one scenario."""

    def __init__(self, workdir):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % SCREEN, "-nolisten", "tcp",
             "-dpi", "96"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as f:
            number = f.readline().strip()
        check(number, "Xvfb did not start")
        self.env = dict(os.environ)
        for key in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QTWEBENGINE_DISABLE_SANDBOX", "QT_LOGGING_RULES",
                    "QTWEBENGINE_CHROMIUM_FLAGS", "SESSION_MANAGER"):
            self.env.pop(key, None)
        runtime = os.path.join(workdir, "runtime")
        os.makedirs(runtime, mode=0o700)
        self.env.update({"DISPLAY": ":" + number, "XDG_RUNTIME_DIR": runtime, "HOME": workdir,
                         "XDG_CONFIG_HOME": os.path.join(workdir, "config"),
                         "DBUS_SESSION_BUS_ADDRESS": "unix:path=" + os.path.join(runtime, "no-bus")})
        self.openbox = None
        try:
            wait_for("openbox", self.window_manager_running, timeout=30, interval=0.2)
        except Failure:
            self.close()
            raise

    def window_manager_running(self):
        if self.openbox is None or self.openbox.poll() is not None:  # (re)start it
            self.openbox = subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return "_NET_SUPPORTING_WM_CHECK(WINDOW)" in self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                                                              check_rc=False)

    def run(self, argv, check_rc=True):
        p = subprocess.run(argv, env=self.env, capture_output=True, text=True, timeout=30)
        if check_rc and p.returncode != 0:
            raise Failure("%s failed: %s" % (" ".join(argv), p.stderr.strip()))
        return p.stdout

    def xdotool(self, *args):
        return self.run(["xdotool"] + [str(a) for a in args])

    def windows(self, title_regex, pid=None):
        by_pid = ["--all", "--pid", str(pid)] if pid else []
        out = self.run(["xdotool", "search", "--onlyvisible"] + by_pid + ["--name", title_regex], check_rc=False)
        return [int(w) for w in out.split()]

    def focus(self):
        """The window that has the keyboard focus (0 for none)."""
        out = self.run(["xdotool", "getwindowfocus"], check_rc=False).strip()
        return int(out) if out.isdigit() else 0

    def window(self, title_regex, timeout=30.0, pid=None):
        """The window with the title, once it has the keyboard focus: keys typed next go to it."""
        def focused():
            wid = self.focus()
            return wid if wid in self.windows(title_regex, pid) else None
        return wait_for("a window titled %s with the keyboard focus" % title_regex, focused, timeout)

    def activate(self, wid):
        """Brings a window to the front with the keyboard focus, as a click on its task button does."""
        self.xdotool("windowactivate", "--sync", wid)
        wait_for("the keyboard focus in window %d" % wid, lambda: self.focus() == wid)

    def popup_keys(self, wid, *keys):
        """Keys to the pop-up (a menu or a drop-down list: a window the window manager does not frame,
        other than a tooltip) that the program of a window opens, until it has closed."""
        pid = self.run(["xdotool", "getwindowpid", str(wid)]).strip()
        popup = lambda w: ("Override Redirect State: yes" in self.run(["xwininfo", "-id", str(w)], check_rc=False) and
                           "TOOLTIP" not in self.run(["xprop", "-id", str(w), "_NET_WM_WINDOW_TYPE"], check_rc=False))
        for shown in (True, False):
            wait_for("a pop-up %s" % ("open" if shown else "closed"),
                     lambda: any(popup(w) for w in self.windows("", pid)) == shown)
            if shown:
                self.key(*keys)

    def wait_gone(self, title_regex, timeout=10.0):
        wait_for("no window titled " + title_regex, lambda: not self.windows(title_regex), timeout)

    def title(self, wid):
        return self.run(["xdotool", "getwindowname", str(wid)], check_rc=False).strip()

    def wait_title(self, wid, pattern, timeout=20.0):
        wait_for("title matching %r (last %r)" % (pattern, self.title(wid)),
                 lambda: re.search(pattern, self.title(wid)), timeout)

    def client_geometry(self, wid):
        out = self.run(["xwininfo", "-id", str(wid)])
        value = lambda key: int(re.search(key + r":\s+(-?\d+)", out).group(1))
        return value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"), value("Height")

    def outer_geometry(self, wid):
        """The window with its frame, as the window manager has it."""
        x, y, w, h = self.client_geometry(wid)
        extents = lambda: re.search(r"=\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+)",
                                    self.run(["xprop", "-id", str(wid), "_NET_FRAME_EXTENTS"], check_rc=False))
        left, right, top, bottom = (int(v) for v in wait_for("frame extents", extents).groups())
        return x - left, y - top, w + left + right, h + top + bottom

    def pixels(self, wid):
        """The window's client area on screen, from an X window dump, as pixel(x, y) -> (r, g, b)."""
        x0, y0, _, _ = self.client_geometry(wid)
        data = subprocess.run(["xwd", "-root", "-silent"], env=self.env, capture_output=True, timeout=30).stdout
        fields = struct.unpack(">25I", data[:100])
        size, bytes_per_line, order = fields[11] // 8, fields[12], "little" if fields[7] == 0 else "big"
        check(size in (3, 4), "a screen of %d bits a pixel" % fields[11])
        start = fields[0] + fields[19] * 12  # after the header and the colour map

        def pixel(x, y):
            at = start + (y0 + y) * bytes_per_line + (x0 + x) * size
            value = int.from_bytes(data[at:at + size], order)
            return (value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF

        return pixel

    def dark_pixels(self, wid, left, top, width, height):
        """How many dark (text) pixels a part of a window's client area shows."""
        pixel = self.pixels(wid)
        return sum(1 for x in range(left, left + width, 2) for y in range(top, top + height, 2) if sum(pixel(x, y)) < 200)

    def pixel(self, wid, x, y):
        """The colour at a point of a window's client area, in pixels."""
        return self.pixels(wid)(x, y)

    def click(self, wid, x, y, button=1, pause=0.0):
        """A real click at a point of the window's client area, in pixels; then a pause of so many seconds."""
        self.xdotool("mousemove", "--window", wid, x, y)
        time.sleep(0.1)
        self.xdotool("click", button)
        time.sleep(pause)

    def click_twips(self, wid, left, top, width, height, button=1, pause=0.0):
        """A real click in the middle of a control placed at these twips."""
        self.click(wid, int((left + width / 2) / TWIPS_PER_PIXEL), int((top + height / 2) / TWIPS_PER_PIXEL),
                   button, pause)

    def key(self, *keys, pause=0.0):
        """Real key presses, to whichever window has the keyboard focus."""
        self.xdotool("key", "--delay", 60, *keys)
        time.sleep(pause)

    def drag(self, wid, start, end):
        """A real drag with the left button between two points of the window's client area, in pixels."""
        self.xdotool("mousemove", "--window", wid, *start)
        time.sleep(0.1)
        self.xdotool("mousedown", 1)
        for step in range(1, 6):
            self.xdotool("mousemove", "--window", wid, *(a + (b - a) * step // 5 for a, b in zip(start, end)))
            time.sleep(0.05)
        self.xdotool("mouseup", 1)

    def type(self, text):
        self.xdotool("type", "--delay", 30, text)

    def close_window(self, wid, title_regex=None):
        """What the window's close box does; with a title, until no window has it."""
        self.run(["wmctrl", "-i", "-c", hex(wid)])
        if title_regex:
            self.wait_gone(title_regex)

    def close(self):
        for p in filter(None, (self.openbox, self.xvfb)):
            p.terminate()
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()


class Skyvane:
    """The built program copied alone into a fresh folder, with seeded record files."""

    MAIN_TITLE = r"Skyvane ie5\+$"

    def __init__(self, desktop, program, folder, settings=None, sites=None):
        self.desktop = desktop
        self.folder = folder
        os.makedirs(folder, exist_ok=True)
        self.program = os.path.join(folder, "skyvane")
        if not os.path.exists(self.program):
            shutil.copy2(program, self.program)
        for name, data in (("Skyvn.ini", settings), ("SiteList.dab", None if sites is None else site_list(sites))):
            if data is not None:
                with open(os.path.join(folder, name), "wb") as f:
                    f.write(data)
        self.process, self.output = None, ""

    def start(self, *args, env=None):
        self.log = tempfile.TemporaryFile(mode="w+")
        self.process = subprocess.Popen([self.program, *args], cwd=self.folder, env=env or self.desktop.env,
                                        stdout=self.log, stderr=subprocess.STDOUT)
        self.wid = self.desktop.window("Skyvane ie5\\+", pid=self.process.pid)
        return self.wid

    def end(self, how="close", timeout=20.0):
        if how == "close":
            self.desktop.close_window(self.wid)
        else:
            self.process.send_signal(how)
        try:
            code = self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            raise Failure("the program did not end")
        self.log.seek(0)
        self.output = self.log.read()
        check(code == 0, "the program ended with %s:\n%s" % (code, self.output))
        # The test desktop has no sound server: the refresh chime's complaint about that is a real
        # warning there, but not one about the program.
        lines = [l for l in self.output.splitlines()
                 if l.strip() and not l.startswith(("PulseAudioService:", "No audio device detected"))]
        check(len(lines) <= 2, "a normal start and end printed %d lines:\n%s" % (len(lines), self.output))
        return self.output
