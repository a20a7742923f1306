#!/usr/bin/python3
"""The sleep watcher against a logind mock on a system bus of the test's own: only the end of a sleep
is a wake-up. Usage: tst_SleepWatcher.py PROBE_TOOL"""

import os
import subprocess
import sys
import unittest

import dbus
import dbusmock

TOOL = None


class SleepWatch(dbusmock.DBusTestCase):
    @classmethod
    def setUpClass(cls):
        cls.start_system_bus()
        cls.logind, obj = cls.spawn_server_template("logind", {}, stdout=subprocess.DEVNULL)
        cls.mock = dbus.Interface(obj, dbusmock.MOCK_IFACE)

    @classmethod
    def tearDownClass(cls):
        cls.logind.terminate()
        cls.logind.wait()
        super().tearDownClass()

    def test_waking_is_told_and_going_to_sleep_is_not(self):
        tool = subprocess.Popen([TOOL, "--watch-sleep"], stdout=subprocess.PIPE, text=True)
        self.assertEqual(tool.stdout.readline(), "ready\n")
        for sleeping in (True, False):
            self.mock.EmitSignal("org.freedesktop.login1.Manager", "PrepareForSleep", "b", [sleeping])
        self.assertEqual(tool.communicate(timeout=30)[0], "woke\n")


if __name__ == "__main__":
    TOOL = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
