"""Wall display scenarios: functions name(desktop, server, program, folder) like those in run_e2e.py."""

import time

from Xlib import X, display
from Xlib.ext import screensaver

from desktop import Skyvane, check, wait_for


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
