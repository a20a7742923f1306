#!/usr/bin/python3
"""The real connection probe against a NetworkManager mock on a system bus of the test's own (never
the machine's), and in an empty network namespace. Usage: tst_NetworkConnectionProbe.py PROBE_TOOL"""

import os
import shutil
import subprocess
import sys
import unittest

import dbus
import dbusmock

NM, NM_PATH = "org.freedesktop.NetworkManager", "/org/freedesktop/NetworkManager"
TOOL = None


def probe(mode, *wrapper, bus=None):
    # An empty PATH: the desktop's network settings program, the fallback of a refused dial, is never
    # found, so never started.
    env = dict(os.environ, PATH="/nonexistent", **({"DBUS_SYSTEM_BUS_ADDRESS": bus} if bus else {}))
    return subprocess.run([*wrapper, TOOL, mode], env=env, capture_output=True, text=True, timeout=30).stdout.strip()


class NetworkProbe(dbusmock.DBusTestCase):
    @classmethod
    def setUpClass(cls):
        cls.start_system_bus()
        cls.nm, obj = cls.spawn_server_template("networkmanager", {}, stdout=subprocess.DEVNULL)
        cls.mock = dbus.Interface(obj, dbusmock.MOCK_IFACE)  # the template's own methods
        cls.manager = dbus.Interface(cls.get_dbus(True).get_object(NM, NM_PATH), dbusmock.MOCK_IFACE)
        cls.manager.AddProperty(NM, "PrimaryConnection", dbus.ObjectPath("/"))  # the template has none

    @classmethod
    def tearDownClass(cls):
        cls.nm.terminate()
        cls.nm.wait()
        super().tearDownClass()

    def connection_over(self, name, device_type):
        """An active connection over one device of a NetworkManager device type, made the primary one."""
        device, active = NM_PATH + "/Devices/" + name, NM_PATH + "/ActiveConnection/" + name
        self.mock.AddObject(device, NM + ".Device", {"DeviceType": dbus.UInt32(device_type),
                                                     "State": dbus.UInt32(100)}, [])
        self.mock.AddObject(active, NM + ".Connection.Active", {
            "Devices": dbus.Array([dbus.ObjectPath(device)], signature="o"), "State": dbus.UInt32(2)}, [])
        self.mock.SetProperty(NM_PATH, NM, "PrimaryConnection", dbus.ObjectPath(active, variant_level=1))

    def test_1_state_from_network_manager(self):
        def says(connected, modem):
            self.assertEqual(probe("--print-state"),
                             "backend=networkmanager connected=%d modem=%d" % (connected, modem))

        self.mock.SetGlobalConnectionState(70)  # connected, full connectivity
        self.mock.SetConnectivity(4)
        says(1, 0)
        self.connection_over("wired", 1)  # ethernet
        says(1, 0)
        self.connection_over("modem", 8)  # a modem: the dial-up bit
        says(1, 1)
        self.mock.SetGlobalConnectionState(20)  # disconnected
        self.mock.SetConnectivity(1)
        says(0, 0)

    def test_2_autodial_asks_network_manager_and_says_a_refusal(self):
        # The template refuses to activate "no connection in particular"; a refusal is told, never
        # reported as dialled.
        self.manager.ClearCalls()
        out = probe("--autodial")
        self.assertTrue(out.startswith("not dialled: NetworkManager did not bring a connection up: "), out)
        self.assertIn("No network settings program was found.", out)
        for method in ("Enable", "ActivateConnection"):
            self.assertTrue(self.manager.GetMethodCalls(method), method)
        self.manager.AddMethod(NM, "ActivateConnection", "ooo", "o", "ret = dbus.ObjectPath('/')")
        self.assertEqual(probe("--autodial"), "dialled")

    def test_3_not_connected_in_an_empty_network_namespace(self):
        unshare = shutil.which("unshare")
        if os.geteuid() != 0 or not unshare:
            self.skipTest("needs root and unshare (util-linux) for a network namespace")
        # No system bus there either: the interfaces alone answer.
        out = probe("--print-state", unshare, "-n", bus="unix:path=/nonexistent")
        if not out:
            self.skipTest("unshare -n is not allowed here")
        self.assertTrue(out.endswith("connected=0 modem=0"), out)


if __name__ == "__main__":
    TOOL = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
