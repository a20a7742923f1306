"""Remote view scenarios: functions name(desktop, server, program, folder) like those in run_e2e.py."""

import json
import os
import socket
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

    p = subprocess.run([app.program, "--serve", "127.0.0.1:%d" % port], cwd=folder, env=desktop.env,
                       capture_output=True, text=True, timeout=60)
    lines = [l for l in p.stderr.splitlines() if l.startswith("skyvane:") and "sandbox" not in l]
    check(p.returncode == 2 and len(lines) == 1 and "port %d" % port in lines[0],
          "a port in use gave %d: %r" % (p.returncode, p.stderr))

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
