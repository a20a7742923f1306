"""Home Assistant over MQTT: scenarios name(desktop, server, program, folder) like those in run_e2e.py,
against Debian's mosquitto broker on a loopback port of the test's own."""

import json
import os
import pwd
import signal
import socket
import struct
import subprocess
import time

from desktop import Skyvane, check, eventually, expect, png_pixel, wait_for
from remote_scenarios import free_port


class Broker:
    """/usr/sbin/mosquitto on 127.0.0.1:port, anonymous or with one user's login; stopped and started
    again on the same port by restart()."""

    def __init__(self, folder, port, user=None, password=None):
        self.folder, self.port = folder, port
        os.makedirs(folder, exist_ok=True)
        self.config = os.path.join(folder, "mosquitto.conf")
        # Started by root, the broker would read its files as the user mosquitto, from a folder it may
        # not enter: it stays the test's user.
        lines = ["listener %d 127.0.0.1" % port, "persistence false", "user " + pwd.getpwuid(os.getuid()).pw_name]
        if user:
            logins = os.path.join(folder, "passwords")
            subprocess.run(["mosquitto_passwd", "-b", "-c", logins, user, password], check=True, timeout=20)
            lines += ["allow_anonymous false", "password_file " + logins]
        else:
            lines.append("allow_anonymous true")
        with open(self.config, "w") as f:
            f.write("\n".join(lines) + "\n")
        self.start()

    def start(self):
        self.log = open(os.path.join(self.folder, "broker.log"), "a")
        self.process = subprocess.Popen(["/usr/sbin/mosquitto", "-c", self.config], stdout=self.log,
                                        stderr=subprocess.STDOUT)

        def listening():
            with socket.socket() as s:
                return s.connect_ex(("127.0.0.1", self.port)) == 0
        wait_for("the broker on port %d" % self.port, listening, timeout=10)

    def stop(self):
        self.process.terminate()
        self.process.wait(10)
        self.log.close()

    def read(self, topic, count=1, seconds=5, *args):
        """What mosquitto_sub gets on topic within seconds, up to count messages: the bytes of the
        payloads (each followed by a newline), topics first with -v."""
        p = subprocess.run(["mosquitto_sub", "-h", "127.0.0.1", "-p", str(self.port), "-t", topic,
                            "-C", str(count), "-W", str(seconds), *args], capture_output=True, timeout=seconds + 10)
        return p.stdout

    def send(self, topic, payload):
        subprocess.run(["mosquitto_pub", "-h", "127.0.0.1", "-p", str(self.port), "-t", topic, "-m", payload],
                       check=True, timeout=20)


def base_topic():
    """skyvane/ and this machine's name as the program makes it safe for a topic."""
    name = "".join(c if c.isascii() and (c.isalnum() or c in "-_") else "_"
                   for c in socket.gethostname()[:64].lower())
    return "skyvane/" + (name or "skyvane")


def home_assistant_finds_the_window_over_mqtt(desktop, server, program, folder):
    """--mqtt: the discovery documents retained under homeassistant/ (valid JSON, unique ids, a camera,
    a binary sensor and two buttons), online on availability, the state naming the address watched,
    the picture a PNG of the page's colour; a refresh command brings a load within 5 s; the broker
    stopped and started again is connected again within a minute; SIGKILL leaves offline."""
    server.colours["/radar"] = ["#2080c0"]
    broker = Broker(os.path.join(folder, "..", "broker"), free_port())
    base = base_topic()
    app = Skyvane(desktop, program, folder)
    wid = app.start("--mqtt", "127.0.0.1:%d" % broker.port, "--interval", "5", server.url("radar"))
    desktop.wait_title(wid, "^radar - ")
    expect(eventually(lambda: broker.read(base + "/availability"), lambda b: b == b"online\n"), b"online\n",
           "the availability")
    found = [l.split(b" ", 1) for l in broker.read("homeassistant/#", 6, 5, "-v").splitlines()]
    documents = {topic.decode(): json.loads(payload) for topic, payload in found}
    components = sorted(topic.split("/")[1] for topic in documents)
    expect(components, ["binary_sensor", "button", "button", "camera", "sensor", "sensor"], "the entities")
    ids = [d["unique_id"] for d in documents.values()]
    expect(len(set(ids)), len(ids), "unique ids among %s" % ids)
    for topic, d in documents.items():
        expect((d["availability_topic"], d["device"]["name"]),
               (base + "/availability", "Skyvane on " + socket.gethostname()),
               "the availability and device of " + topic)
    camera = next(d for t, d in documents.items() if t.split("/")[1] == "camera")
    expect(camera["topic"], base + "/picture", "the camera's topic")

    state = json.loads(eventually(lambda: broker.read(base + "/state"), lambda b: b'"pictureTime":"' in b))
    expect((state["address"], state["state"]), (server.url("radar"), "ok"), "the state told")
    expect(broker.read(base + "/alert"), b"OFF\n", "the storm alert")
    shot = os.path.join(folder, "..", "picture.png")
    with open(shot, "wb") as f:
        f.write(broker.read(base + "/picture", 1, 5, "-N"))
    with open(shot, "rb") as f:
        head = f.read(24)
    check(head.startswith(b"\x89PNG\r\n\x1a\n"), "the picture is no PNG: %r" % head)
    expect(png_pixel(shot, struct.unpack(">I", head[16:20])[0] // 2, 0.6), (0x20, 0x80, 0xc0),
           "the middle of the picture")

    loads = lambda: server.requests.count("/radar")
    before = loads()
    broker.send(base + "/command/refresh", "PRESS")
    wait_for("the refresh's request", lambda: loads() > before, timeout=5)

    broker.stop()
    time.sleep(2)
    broker.start()
    expect(broker.read(base + "/availability", 1, 60), b"online\n",
           "the availability after the broker's restart")

    app.process.kill()
    app.process.wait(20)
    expect(broker.read(base + "/availability"), b"offline\n", "the availability once the program was killed")
    broker.stop()


def mqtt_logins_refused_are_said_once(desktop, server, program, folder):
    """A password file others may read is refused in one line; a wrong password, and a TLS handshake
    that fails, are said once on standard error however often they are tried again, while the page
    is shown; the right password logs in
    (the command line's host winning over the file's), and the end leaves offline."""
    server.colours["/radar"] = ["#2080c0"]
    broker = Broker(os.path.join(folder, "..", "broker"), free_port(), "ha", "right-one")
    secret = os.path.join(folder, "..", "mqtt-password")
    base = base_topic()
    for mode, password, said, tls in ((0o644, "right-one", "can be read", False),
                                      (0o600, "wrong-one", "refused the login", False),
                                      (0o600, "right-one", "TLS handshake", True),  # the broker speaks no TLS
                                      (0o600, "right-one", None, False)):
        with open(secret, "w") as f:
            f.write(password + "\n")
        os.chmod(secret, mode)
        app = Skyvane(desktop, program, folder)
        with open(os.path.join(folder, "Skyvane.conf"), "w") as f:
            f.write("[Mqtt]\nHost=192.0.2.1\nUser=ha\nPasswordFile=%s\nTls=%s\n" % (secret, str(tls).lower()))
        wid = app.start("--mqtt", "127.0.0.1:%d" % broker.port, server.url("radar"))
        desktop.wait_title(wid, "^radar - ")
        if said:
            time.sleep(8)  # a few tries at the broker
            if password == "wrong-one":
                with open(os.path.join(broker.folder, "broker.log")) as f:
                    refusals = f.read().count("not authorised")
                check(refusals >= 2, "the wrong password was tried %d times" % refusals)
        else:
            expect(eventually(lambda: broker.read(base + "/availability", 1, 5, "-u", "ha", "-P", "right-one"),
                              lambda b: b == b"online\n"), b"online\n", "the availability with the right password")
        lines = [l for l in app.end(signal.SIGTERM).splitlines() if "MQTT" in l]
        check(len(lines) == (1 if said else 0) and (not said or said in lines[0]),
              "what was said with a %o file of %s: %r" % (mode, password, lines))
    expect(broker.read(base + "/availability", 1, 5, "-u", "ha", "-P", "right-one"), b"offline\n",
           "the availability once the program ended")
    broker.stop()
