"""Remote view scenarios: functions name(desktop, server, program, folder) like those in run_e2e.py."""

import hashlib
import json
import os
import signal
import socket
import stat
import struct
import subprocess
import time

from desktop import Skyvane, check, eventually, expect, png_pixel, wait_for


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def curl(url, *args):
    """The HTTP status and the body, as curl gets them."""
    p = subprocess.run(["curl", "-s", "-m", "10", "-w", "\n%{http_code}", *args, url], capture_output=True,
                       text=True, timeout=20)
    body, _, code = p.stdout.rpartition("\n")
    return int(code or 0), body


def files_of_another_kind_are_left_alone(desktop, server, program, folder):
    """A RemoteToken that is a link to the user's notes, or a pipe, and a pipe as a frames folder's
    Address.txt and as a frame: the window opens all the same, says in one line that nothing is
    served, leaves the notes as they were and ends on SIGTERM."""
    server.colours["/radar"] = ["#2080c0"]
    notes = os.path.join(os.path.dirname(folder), "notes.txt")
    with open(notes, "w") as f:
        f.write("my notes\n")
    for kind in ("link", "pipe"):
        app = Skyvane(desktop, program, os.path.join(folder, kind))
        token = os.path.join(app.folder, "RemoteToken")
        frames = os.path.join(app.folder, "Frames")
        own = os.path.join(frames, hashlib.sha1(server.url("radar").encode()).hexdigest()[:12])
        for made in (own, os.path.join(frames, "0123456789ab")):
            os.makedirs(made)
        os.mkfifo(os.path.join(frames, "0123456789ab", "Address.txt"))
        os.mkfifo(os.path.join(own, "20261206T120000000Z.png"))
        os.symlink(notes, token) if kind == "link" else os.mkfifo(token)
        wid = app.start("--serve", "127.0.0.1:%d" % free_port(), "--interval", "5", server.url("radar"))
        desktop.wait_title(wid, "^radar - ")
        wait_for("the first frame", lambda: len(os.listdir(own)) > 2)
        desktop.key("F9")  # Replay reads the frames
        time.sleep(1)
        said = [l for l in app.end(signal.SIGTERM).splitlines() if "RemoteToken" in l]
        check(len(said) == 1 and "nothing is served" in said[0], "what was said of the token: %r" % said)
        check(os.path.islink(token) if kind == "link" else stat.S_ISFIFO(os.lstat(token).st_mode),
              "the %s in the token's place was replaced" % kind)
    expect(open(notes).read(), "my notes\n", "the notes the link named")


def a_page_dialog_holds_neither_a_refresh_nor_the_end(desktop, server, program, folder):
    """A page that opens an alert once loaded: a refresh asked while the alert is open loads the page
    (the alert answered), and SIGTERM while it is open again ends the program with status 0, saved."""
    server.colours["/radar"] = ["#2080c0"]
    server.extra["/radar"] = "<script>setTimeout(() => alert('Look at me'), 300)</script>"
    port = free_port()
    app = Skyvane(desktop, program, folder)
    app.start("--serve", "127.0.0.1:%d" % port, "--interval", "5", server.url("radar"))
    desktop.window("^The page at 127.0.0.1 says")
    token = open(os.path.join(folder, "RemoteToken")).read().strip()
    loads = server.requests.count("/radar")
    expect(curl("http://127.0.0.1:%d/refresh" % port, "-X", "POST", "-H", "Authorization: Bearer " + token)[0],
           202, "a refresh with the token")
    wait_for("the refresh's request", lambda: server.requests.count("/radar") > loads, timeout=10)
    wait_for("the state ok", lambda: '"state":"ok"' in curl("http://127.0.0.1:%d/status.json" % port)[1])
    desktop.window("^The page at 127.0.0.1 says")  # the page's alert again, after the load
    app.end(signal.SIGTERM)
    check(len(open(os.path.join(folder, "Skyvn.ini"), "rb").read()) > 0, "the settings were not saved")


def the_remote_view_answers_curl(desktop, server, program, folder):
    """--serve on loopback answers the picture's state, the picture as shown and the metrics without a token,
    takes a refresh only with the token from RemoteToken (kept for the user alone), and says 404 for
    anything else. On 0.0.0.0 reading needs the token too. A port in use ends the start with status 2."""
    server.colours["/radar"] = ["#2080c0"]
    port = free_port()
    base = "http://127.0.0.1:%d" % port
    app = Skyvane(desktop, program, folder)
    wid = app.start("--serve", "127.0.0.1:%d" % port, "--interval", "5", server.url("radar"))
    desktop.wait_title(wid, "^radar - ")
    status = json.loads(eventually(lambda: curl(base + "/status.json")[1], lambda s: '"pictureTime":"' in s))
    expect(status["address"], server.url("radar"), "the address told")
    check(0 <= status["ageSeconds"] < 30, "the picture's age: %s" % status)
    expect(status["state"], "ok", "the state")

    shot = os.path.join(folder, "..", "picture.png")
    expect(curl(base + "/picture.png", "-o", shot)[0], 200, "the picture's status")
    with open(shot, "rb") as f:
        width = struct.unpack(">I", f.read(24)[16:20])[0]
    expect(png_pixel(shot, width // 2, 0.6), (0x20, 0x80, 0xc0), "the middle of the picture")
    check("\nskyvane_picture_age_seconds " in curl(base + "/metrics")[1], "no picture age in the metrics")
    expect(curl(base + "/nothing")[0], 404, "an unknown path")

    token_file = os.path.join(folder, "RemoteToken")
    expect(oct(os.stat(token_file).st_mode & 0o777), "0o600", "the token file's mode")
    token = open(token_file).read().strip()
    loads = lambda: server.requests.count("/radar")
    before = loads()
    expect(curl(base + "/refresh", "-X", "POST")[0], 401, "a refresh without the token")
    time.sleep(2)
    expect(loads(), before, "loads after a refresh without the token")
    asked = time.monotonic()
    expect(curl(base + "/refresh", "-X", "POST", "-H", "Authorization: Bearer " + token)[0], 202,
           "a refresh with the token")
    wait_for("the refresh's request", lambda: loads() > before, timeout=5)
    check(time.monotonic() - asked <= 5, "the refresh came after %.1f s" % (time.monotonic() - asked))

    secret = server.url("other").replace("http://", "http://me:s3cretPW@")
    expect(curl(base + "/open", "-X", "POST", "-H", "Authorization: Bearer " + token, "--data-urlencode",
                "address=" + secret)[0], 202, "an open with the token")
    desktop.wait_title(wid, "^other - ")
    said = eventually(lambda: curl(base + "/status.json")[1], lambda s: '/other"' in s)
    check("s3cretPW" not in said + curl(base + "/")[1], "the password was told: %s" % said)

    dead = "http://127.0.0.1:%d/radar" % free_port()  # nothing answers there
    expect(curl(base + "/open", "-X", "POST", "-H", "Authorization: Bearer " + token, "--data-urlencode",
                "address=" + dead)[0], 202, "an open of an address nothing answers")
    said = json.loads(eventually(lambda: curl(base + "/status.json")[1], lambda s: '"state":"failed"' in s))
    expect((said["address"], said["pictureTime"]), (dead, None), "the failed open told")
    expect(curl(base + "/picture.png", "-o", os.devnull)[0], 503, "the last site's picture under the failed open")

    busy = Skyvane(desktop, program, os.path.join(folder, "..", "busy"))  # a fresh folder
    p = subprocess.run([busy.program, "--serve", "127.0.0.1:%d" % port], cwd=busy.folder, env=desktop.env,
                       capture_output=True, text=True, timeout=60)
    lines = [l for l in p.stderr.splitlines() if l.startswith("skyvane:") and "sandbox" not in l]
    check(p.returncode == 2 and len(lines) == 1 and "port %d" % port in lines[0],
          "a port in use gave %d: %r" % (p.returncode, p.stderr))
    expect(sorted(os.listdir(busy.folder)), ["skyvane"], "what a start refused wrote")

    away_port = free_port()
    away = Skyvane(desktop, program, os.path.join(folder, "..", "away"))
    away.start("--serve", "0.0.0.0:%d" % away_port, server.url("radar"))
    away_token = eventually(lambda: open(os.path.join(away.folder, "RemoteToken")).read().strip()
                            if os.path.exists(os.path.join(away.folder, "RemoteToken")) else "", bool)
    away_status = "http://127.0.0.1:%d/status.json" % away_port
    expect(curl(away_status)[0], 401, "a GET without the token on 0.0.0.0")
    expect(curl(away_status + "?token=" + away_token)[0], 200, "a GET with the token on 0.0.0.0")
    away.end()
    app.end()
