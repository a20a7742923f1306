"""Assistive technology scenarios: functions name(desktop, server, program, folder) like those in run_e2e.py."""

import json
import os
import subprocess

from desktop import Skyvane, check, eventually, wait_for

TREE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "atspi_tree.py")
NAMED_ROLES = ("push button", "toggle button", "combo box", "spin button", "text", "entry", "password text",
               "slider", "list", "tree table", "table", "radio button", "check box")
NM = "'org.freedesktop.NetworkManager', '/org/freedesktop/NetworkManager'"


def private_bus():
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address"], stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL, text=True)
    return bus, bus.stdout.readline().strip()


def every_control_has_a_name_for_assistive_technology(desktop, server, program, folder):
    """Through AT-SPI (at-spi2-core's bus launcher, started on demand on a session bus of the test's, read
    with pyatspi): every push button, combo box, spin button and text field of the main window and of the
    site list editor has a name; the connection indicator's name follows the connection state, which a
    NetworkManager mock on a system bus of the test's changes."""
    system, system_address = private_bus()
    session, session_address = private_bus()
    env = dict(desktop.env, DBUS_SESSION_BUS_ADDRESS=session_address, DBUS_SYSTEM_BUS_ADDRESS=system_address,
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", GSETTINGS_BACKEND="memory")
    nm = subprocess.Popen(["/usr/bin/python3", "-m", "dbusmock", "--system", "--template", "networkmanager"], env=env,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def network(state):
        call = ("import dbus; m = dbus.Interface(dbus.SystemBus().get_object(%s), 'org.freedesktop.DBus.Mock'); "
                "m.SetGlobalConnectionState(%d); m.SetConnectivity(%d)" % (NM, state, 4 if state == 70 else 1))
        return subprocess.run(["/usr/bin/python3", "-c", call], env=env, capture_output=True).returncode == 0

    def tree():
        out = subprocess.run(["/usr/bin/python3", TREE, "skyvane"], env=env, capture_output=True, text=True,
                             timeout=60).stdout
        return json.loads(out or "[]")

    def names(nodes, window=None):
        return {n[2] for n in nodes if window is None or n[0] == window}

    try:
        wait_for("the NetworkManager mock", lambda: network(70), timeout=20)
        app = Skyvane(desktop, program, folder)
        wid = app.start(server.url("radar"), env=env)
        desktop.wait_title(wid, "^radar - ")
        seen = eventually(tree, lambda t: "Internet connection: on line" in names(t), timeout=30)
        check("Internet connection: on line" in names(seen), "the indicator on line: %s" % sorted(names(seen)))
        main = [n for n in seen if n[1] in NAMED_ROLES and n[5]]
        check(not [n for n in main if not n[2]], "controls without a name: %s" % [n for n in main if not n[2]])
        wanted = {"Address", "Go", "Back", "Forward", "Refresh", "List", "Menu",
                  "Refresh interval, minutes", "Minutes since the last refresh", "Status"}
        check(wanted <= names(seen), "names missing: %s in %s" % (sorted(wanted - names(seen)), seen))
        # Qt tells an editable combo box by its text (here the address) and what it is by its description.
        combo = [n for n in seen if n[1] == "combo box" and n[5]]
        check(combo and combo[0][2] == server.url("radar") and combo[0][3].startswith("Saved sites"),
              "the site selector: %s" % combo)
        spin = [n for n in seen if n[1] == "spin button"]
        check(spin and spin[0][2] == "Refresh interval, minutes", "the interval is no spin button: %s" % spin)

        network(20)  # disconnected
        seen = eventually(tree, lambda t: "Internet connection: off line" in names(t), timeout=30)
        check("Internet connection: off line" in names(seen), "the indicator off line: %s" % sorted(names(seen)))

        desktop.click_twips(wid, 3360, 15, 480, 300)
        editor = desktop.window("^Edit Selector List$", pid=app.process.pid)
        seen = eventually(tree, lambda t: "Edit Selector List" in {n[0] for n in t}, timeout=20)
        controls = [n for n in seen if n[0] == "Edit Selector List" and n[1] in NAMED_ROLES and n[5]]
        check(controls and not [n for n in controls if not n[2]],
              "editor controls without a name: %s" % controls)
        check({"Saved sites", "Add Currently Displayed Web Page To List", "Delete List Item Selected Below"}
              <= names(seen, "Edit Selector List"), "the editor's names: %s" % controls)
        desktop.close_window(editor, "^Edit Selector List$")
        app.end()
    finally:
        for p in (nm, session, system):
            p.terminate()
            p.wait()
