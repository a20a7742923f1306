#!/usr/bin/python3
"""End-to-end scenarios: the built program, alone in a fresh folder, on Xvfb with openbox, driven by
real X input. Usage: run_e2e.py PROGRAM [SCENARIO...], or run_e2e.py --list for the scenarios' names
(CTest runs each scenario as a test of its own, e2e.NAME)."""

import concurrent.futures
import contextlib
import os
import re
import signal
import subprocess
import sys
import tempfile
import time
import traceback

from access_scenarios import every_control_has_a_name_for_assistive_technology  # noqa: F401
from wayland_scenarios import (  # noqa: F401 (collected with the others)
    the_kiosk_holds_off_idle_where_the_compositor_offers_it, the_kiosk_runs_natively_on_wayland)
from wall_scenarios import (  # noqa: F401 (collected with the others)
    a_followed_site_is_shown_within_a_minute_of_publishing, a_stalled_feed_is_told_until_its_next_picture,
    a_renderer_that_keeps_dying_ends_the_program_for_systemd, systemd_hears_ready_alive_and_how_it_goes,
    the_kiosk_plays_the_last_frames_as_a_loop,
    the_wall_sleeps_outside_its_hours, wall_display_is_never_blanked)
from remote_scenarios import (  # noqa: F401 (collected with the others)
    a_page_dialog_holds_neither_a_refresh_nor_the_end, curl, files_of_another_kind_are_left_alone, free_port,
    the_remote_view_answers_curl)
from mqtt_scenarios import (  # noqa: F401 (collected with the others)
    home_assistant_finds_the_window_over_mqtt, mqtt_logins_refused_are_said_once)
from desktop import SCREEN, SCREEN_SAVER_MOCK, Desktop, Skyvane, WebServer, check, eventually, expect, map_png, png, png_pixel, \
    probe_video, read_settings, read_site_list, settings_record, wait_for

# Where the main window's controls are, in twips of its client area.
MENU = (60, 15, 600, 300)
LIST = (3360, 15, 480, 300)
BACK = (3870, 15, 300, 300)
FORWARD = (4185, 15, 300, 300)
SELECTOR_TEXT = (4530, -15, 1200, 330)


def launch(desktop, program, folder, *args, start=None, **files):
    """Skyvane started in folder (with seeded record files) and its main window, with the keyboard focus,
    and showing the start page given (its title is its name)."""
    if start:
        files["settings"] = settings_record(start_page=start)
    app = Skyvane(desktop, program, folder, **files)
    wid = app.start(*args)
    if start:
        desktop.wait_title(wid, "^%s\\b" % re.split("[/?]", start)[3])
    return app, wid


def open_editor(desktop, wid):
    desktop.click_twips(wid, *LIST)
    return desktop.window("^Edit Selector List$")


def pick_site(desktop, wid, *keys):
    """A site chosen from the selector's list with the keyboard."""
    desktop.click_twips(wid, *selector_arrow(desktop, wid))
    desktop.popup_keys(wid, *keys)


def move_to_top(desktop, editor, row):
    """Move To Top, from the pop-up menu of the editor's row at a point."""
    desktop.click(editor, *row)
    desktop.click(editor, *row, button=3)
    desktop.popup_keys(editor, "t")


def answer_notice(desktop, key="Return"):
    """The message in front (a window titled Skyvane) answered by a key, and gone."""
    notice = desktop.window("^Skyvane$")
    desktop.key(key)
    wait_for("the message answered", lambda: notice not in desktop.windows("^Skyvane$"))


def apply_typed_start_page(desktop, dialog):
    """Apply with "Type An Address In The Text Box Manually", confirm, and close the dialog."""
    desktop.click_twips(dialog, 45 + 570, -30 + 1425, 2000, 300)
    desktop.key("Return")
    answer_notice(desktop)  # the new start page is confirmed
    desktop.wait_gone("^Skyvane$")
    desktop.key("Escape")
    desktop.wait_gone("^Set Default Start Page$")


def go_button(desktop, wid):
    return (desktop.client_geometry(wid)[2] * 15 - 390, 15, 375, 300)


def selector_arrow(desktop, wid):
    return (desktop.client_geometry(wid)[2] * 15 - 420 - 240, -15, 180, 330)


def type_address(desktop, wid, address):
    desktop.click_twips(wid, *SELECTOR_TEXT)
    desktop.key("ctrl+a")
    desktop.type(address)


def open_menu_item(desktop, wid, accelerator, title=None):
    """A menu item chosen with its accelerator; with a title, the window it opens, once it has the
    keyboard focus."""
    desktop.click_twips(wid, *MENU)
    desktop.popup_keys(wid, accelerator)
    return desktop.window(title) if title else None


def maximize(desktop, wid):
    def maximized():  # asked again until the window manager has done it
        if desktop.outer_geometry(wid)[2] == SCREEN[0]:
            return True
        desktop.run(["wmctrl", "-i", "-r", hex(wid), "-b", "add,maximized_vert,maximized_horz"])
        return False

    wait_for("the maximized window", maximized, interval=0.3)


def main_window_geometry_survives_runs(desktop, server, program, folder):
    seeded = (600.0, 300.0, 9000.0, 6000.0)
    Skyvane(desktop, program, folder, settings=settings_record(*seeded))
    for run in range(3):
        app, wid = launch(desktop, program, folder)
        expect(eventually(lambda: desktop.outer_geometry(wid), lambda g: g == (40, 20, 600, 400)),
               (40, 20, 600, 400), "run %d shows the window at" % run)
        app.end()
        expect(read_settings(folder)["main"], seeded, "run %d saved" % run)
    # Closed maximized, the next starts fit the screen.
    app, wid = launch(desktop, program, folder)
    maximize(desktop, wid)
    app.end()
    stored = read_settings(folder)["main"]
    # The maximized frame, as the window manager has it: the screen, give or take its border.
    check(stored[2:] == (SCREEN[0] * 15.0, SCREEN[1] * 15.0) and all(abs(v) <= 15 for v in stored[:2]),
          "closed maximized, it saved %s" % (stored,))
    for run in range(2):
        app, wid = launch(desktop, program, folder)
        expect(eventually(lambda: desktop.outer_geometry(wid), lambda g: g == (0, 0) + SCREEN), (0, 0) + SCREEN,
               "the next start shows")
        app.end()
        expect(read_settings(folder)["main"], (0.0, 0.0) + stored[2:], "run %d saved" % run)


def editor_size_survives_three_openings(desktop, server, program, folder):
    app, wid = launch(desktop, program, folder, settings=settings_record(editor_width=7500, editor_height=4005))
    centred = lambda g: abs((g[0] + g[2] / 2) - SCREEN[0] / 2) <= 1 and abs((g[1] + g[3] / 2) - SCREEN[1] / 2) <= 1
    for opening in range(3):
        editor = open_editor(desktop, wid)
        x, y, w, h = eventually(lambda: desktop.outer_geometry(editor), lambda g: g[2:] == (500, 267) and centred(g))
        expect((w, h), (500, 267), "opening %d shows the editor at" % opening)
        check(centred((x, y, w, h)), "the editor is not centred: %s" % ((x, y, w, h),))
        desktop.close_window(editor, "^Edit Selector List$")
    app.end()
    expect(read_settings(folder)["editor"], (7500.0, 4005.0), "the editor's size")
    # Damaged values start corrected: an editor wider than any screen, a giant font.
    app, wid = launch(desktop, program, folder, settings=settings_record(
        editor_width=1e30, editor_height=4005, font_name="DejaVu Sans", font_size=1000.0))
    editor = open_editor(desktop, wid)
    x, y, w, h = eventually(lambda: desktop.outer_geometry(editor), lambda g: g[0] >= 0 and g[0] + g[2] <= SCREEN[0])
    check(x >= 0 and x + w <= SCREEN[0] and h == 267, "the editor of width 1e30 shows at %s" % ((x, y, w, h),))
    desktop.close_window(editor, "^Edit Selector List$")
    app.end()
    stored = read_settings(folder)
    expect(stored["font_size"], 12.25, "the font size saved")
    check(stored["editor"][0] <= SCREEN[0] * 15, "the editor width saved: %s" % (stored["editor"],))


def start_page_dialog_keys(desktop, server, program, folder):
    app, wid = launch(desktop, program, folder)
    open_menu_item(desktop, wid, "p", "^Set Default Start Page$")
    desktop.key("Escape")
    desktop.wait_gone("^Set Default Start Page$")
    dialog = open_menu_item(desktop, wid, "p", "^Set Default Start Page$")
    desktop.key("Return")  # Apply with no option chosen: a notice says so, then the start page
    for _ in range(2):
        answer_notice(desktop)
    desktop.wait_gone("^Skyvane$")
    expect(desktop.windows("^Set Default Start Page$"), [dialog], "open after Apply's notice")
    desktop.close_window(dialog, "^Set Default Start Page$")
    app.end()
    # A start page as long as the record holds survives Apply with the typed option.
    address = server.url("long?").ljust(300, "x")
    app, wid = launch(desktop, program, folder, start=address)
    apply_typed_start_page(desktop, open_menu_item(desktop, wid, "p", "^Set Default Start Page$"))
    app.end()
    expect(read_settings(folder)["start_page"], address, "the start page")


def selector_go_back_forward(desktop, server, program, folder):
    """Enter (both keys) and Go open the typed address, a pick the saved site; text that is no address
    leaves the page."""
    app, wid = launch(desktop, program, folder, start=server.url("start"),
                      sites=[("First", server.url("first")), ("Second", server.url("second"))])
    pick_site(desktop, wid, "Down", "Return")
    desktop.wait_title(wid, "^second - ")
    type_address(desktop, wid, server.url("clicked"))
    for control, page in ((go_button(desktop, wid), "clicked"), (BACK, "second"), (FORWARD, "clicked")):
        desktop.click_twips(wid, *control)
        desktop.wait_title(wid, "^%s - " % page)
    for page, key, address in (("typed", "Return", server.url("typed")),
                               ("keypad", "KP_Enter", server.url("keypad")[len("http://"):])):  # a bare host
        type_address(desktop, wid, address)
        desktop.key(key)
        desktop.wait_title(wid, "^%s - Skyvane ie5\\+$" % page)
    asked = len(server.requests)
    type_address(desktop, wid, "weather radar")
    desktop.click_twips(wid, *go_button(desktop, wid), pause=1.5)  # time for a load to begin, were there one
    check(re.match("^keypad - ", desktop.title(wid)), "the page became %r" % desktop.title(wid))
    expect([r for r in server.requests[asked:] if r != "/favicon.ico"], [], "loaded after no address")
    app.end()
    check(not os.path.exists(os.path.join(folder, "Frames")), "frames were kept of pages browsed with the timer off")


def site_list_add_move_to_top(desktop, server, program, folder):
    app, wid = launch(desktop, program, folder, start=server.url("shown"), sites=[("First", server.url("first"))])
    editor = open_editor(desktop, wid)
    add_button = (30, 15, desktop.client_geometry(editor)[2] * 15 / 2, 300)  # Add Currently Displayed Web Page...
    desktop.click_twips(editor, *add_button)
    move_to_top(desktop, editor, (40, 60))  # below the column headers, the second row of the list
    desktop.close_window(editor, "^Edit Selector List$")
    expect(read_site_list(folder), [("shown", server.url("shown")), ("First", server.url("first"))], "the list")
    # The selector was rebuilt from the file: its last entry is now First.
    pick_site(desktop, wid, "End", "Return")
    server.wait_request("/first")
    editor = open_editor(desktop, wid)  # the same move from the keyboard alone: the row menu's key
    desktop.key("Home", "Down", "Menu")
    desktop.popup_keys(editor, "t")
    desktop.close_window(editor, "^Edit Selector List$")
    expect([name for name, _ in read_site_list(folder)], ["First", "shown"], "the list moved by keys")
    app.end()


def only_safe_addresses_open_and_are_kept_as_sent(desktop, server, program, folder):
    server.extra["/shown"] = "<a href='/popped' target='_blank' style='font-size:60px'>new window</a>"
    app, wid = launch(desktop, program, folder, start=server.url("shown"), sites=[("First", server.url("first"))])
    type_address(desktop, wid, "javascript:document.title='ran'")
    desktop.key("Return", pause=1.5)  # time for the script to run, were it run
    check(re.match("^shown - ", desktop.title(wid)), "a javascript: address ran: %r" % desktop.title(wid))
    desktop.click(wid, 60, 60)  # a link meant for a new window opens in the view
    desktop.wait_title(wid, "^popped - ")
    asked = server.requests.count("/popped")
    desktop.key("F5")
    wait_for("F5's refresh", lambda: server.requests.count("/popped") > asked)
    encoded = "/%D1%80%D0%B0?q=a%20b"
    for path in (encoded, "/" + "a" * 300):  # kept as sent; too long for the list: refused, not cut
        desktop.key("ctrl+l")
        desktop.type(server.base + path)
        desktop.key("Return")
        desktop.wait_title(wid, "^%s - " % re.escape(path.split("?")[0].strip("/")))
        editor = open_editor(desktop, wid)
        desktop.click_twips(editor, 30, 15, desktop.client_geometry(editor)[2] * 15 / 2, 300)  # Add
        if len(path) > 260:
            answer_notice(desktop)
        desktop.close_window(editor, "^Edit Selector List$")
    expect([url for _, url in read_site_list(folder)], [server.url("first"), server.base + encoded], "the addresses kept")
    editor = open_editor(desktop, wid)
    desktop.click(editor, 40, 60)  # the second row
    desktop.key("Delete")
    desktop.close_window(editor, "^Edit Selector List$")
    expect(read_site_list(folder), [("First", server.url("first"))], "the list after Delete")
    app.end()


def the_interval_is_typed(desktop, server, program, folder):
    """Reached by keys alone, the interval box takes a typed number: its label then reads as one
    started with that interval."""
    label = (79, 1, 26, 19)  # the interval's label, in pixels of the client area

    def label_text(wid):
        pixel = desktop.pixels(wid)
        return [sum(pixel(x, y)) < 300 for x in range(label[0], label[0] + label[2])
                for y in range(label[1], label[1] + label[3])]

    drawn = lambda wid: eventually(lambda: label_text(wid), any)  # some of its pixels dark: a number
    app, wid = launch(desktop, program, folder, "--interval", "45", server.url("first"))
    wanted = drawn(wid)
    app.end()
    app, wid = launch(desktop, program, folder, server.url("first"))
    check(drawn(wid) != wanted, "the label reads 45 before anything is typed")
    desktop.key("ctrl+l")
    desktop.key("shift+Tab", "shift+Tab", "shift+Tab")  # List, Refresh, then the interval box
    desktop.type("45")
    wait_for("the label to read 45", lambda: label_text(wid) == wanted, timeout=5)
    app.end()


def a_local_page_reads_no_other_local_file(desktop, server, program, folder):
    """A page saved from the web, opened by its file name on the command line, cannot read the files
    beside it."""
    app = Skyvane(desktop, program, folder)
    with open(os.path.join(folder, "secret.txt"), "w") as f:
        f.write("secret")
    with open(os.path.join(folder, "reader.html"), "w") as f:
        f.write("<title>reader</title><script>var x = new XMLHttpRequest();"
                "x.onload = () => document.title = 'read ' + x.responseText;"
                "x.onerror = () => document.title = 'blocked';"
                "try { x.open('GET', 'secret.txt'); x.send(); } catch (e) { document.title = 'blocked'; }</script>")
    wid = app.start("reader.html")
    desktop.wait_title(wid, "^(blocked|read)")
    check(desktop.title(wid).startswith("blocked"), "the page read a local file: %r" % desktop.title(wid))
    app.end()


def a_protected_page_asks_for_a_login(desktop, server, program, folder):
    server.faults["/locked"] = ("auth", "d2F0Y2hlcjpyYWlu")  # watcher:rain
    app, wid = launch(desktop, program, folder, start=server.url("shown"))
    type_address(desktop, wid, server.url("locked"))
    desktop.key("Return")
    desktop.window("^Log In to 127.0.0.1$")
    desktop.type("watcher")
    desktop.key("Tab")
    desktop.type("rain")
    desktop.key("Return")
    desktop.wait_title(wid, "^locked - ")
    app.end()


def menu_items_open_their_windows(desktop, server, program, folder):
    app, wid = launch(desktop, program, folder)
    for accelerator, title in (("u", "^About$"), ("f", "^Select Font$"), ("o", "^Open$"), ("s", "^Save As$"),
                               ("i", "^Skyvane$")):  # each closes on Esc
        open_menu_item(desktop, wid, accelerator, title)
        desktop.key("Escape")
        desktop.wait_gone(title)
    type_address(desktop, wid, server.url("away"))
    desktop.key("Return")
    desktop.wait_title(wid, "^away - ")
    open_menu_item(desktop, wid, "h")
    desktop.wait_title(wid, "^" + Skyvane.MAIN_TITLE)  # the start page, a help page of its own: no title
    app.end()


def ending_saves(desktop, server, program, folder):
    """Ended by the system, also with a dialog open: the window's place is saved, and at once."""
    launch(desktop, program, folder)[0].end(signal.SIGTERM)  # a first start: the defaults, the font it chose
    expect(read_settings(folder), {"main": (0.0, 0.0, 7095.0, 5445.0), "editor": (6945.0, 3525.0), "font_size": 9.0,
                                   "start_page": os.path.join(folder, "SkyvaneHelp.htm"), "font": "Liberation Sans"},
           "a first start saved")
    seeded = (1500.0, 1200.0, 8010.0, 6000.0)
    for sig, accelerator, title in ((signal.SIGHUP, None, None), (signal.SIGINT, None, None),
                                    (signal.SIGTERM, "f", "^Select Font$"), (signal.SIGTERM, "o", "^Open$"),
                                    (signal.SIGTERM, "s", "^Save As$"), (signal.SIGTERM, "i", "^Skyvane$"),
                                    (signal.SIGTERM, "p", "^Set Default Start Page$")):
        app, wid = launch(desktop, program, folder, settings=settings_record(*seeded))
        if accelerator:
            open_menu_item(desktop, wid, accelerator, title)
        if accelerator == "p":  # the start page dialog: Apply with nothing chosen brings up its notice
            desktop.key("Return")
            desktop.window("^Skyvane$")
        started = time.monotonic()
        app.end(sig, timeout=5)
        check(time.monotonic() - started < 5, "ending took too long")
        expect(read_settings(folder)["main"], seeded, "after %s with %s open" % (sig.name, title))


def editor_keeps_a_typed_rename_and_its_addresses(desktop, server, program, folder):
    sites = [("Old name", server.url("old")), ("Second", server.url("second"))]
    app, wid = launch(desktop, program, folder, sites=sites)
    first_row_name, first_row_address = (40, 46), (340, 46)
    editor = open_editor(desktop, wid)
    desktop.click(editor, *first_row_name)
    desktop.key("F2", "ctrl+a")
    desktop.type("New name")
    desktop.close_window(editor, "^Edit Selector List$")  # while the rename is still being typed
    expect(read_site_list(folder)[0], ("New name", server.url("old")), "the first site")
    editor = open_editor(desktop, wid)
    desktop.click(editor, *first_row_address, pause=1.0)  # not a double click
    desktop.click(editor, *first_row_address, pause=0.8)  # a click on the selected row's address
    desktop.key("F2")
    desktop.type("zzz")
    desktop.key("Return")
    desktop.close_window(editor, "^Edit Selector List$")
    expect([url for _, url in read_site_list(folder)], [url for _, url in sites], "the addresses")
    app.end()


def two_windows_on_one_folder(desktop, server, program, folder):
    sites = [("A", server.url("a")), ("B", server.url("b")), ("C", server.url("c"))]
    first, w1 = launch(desktop, program, folder, start=server.url("start"), sites=sites)
    second, w2 = launch(desktop, program, folder)
    desktop.wait_title(w2, "^start - ")
    # The second window moves C to the top of the list.
    desktop.activate(w2)
    editor = open_editor(desktop, w2)
    move_to_top(desktop, editor, (40, 74))  # the third row
    desktop.close_window(editor, "^Edit Selector List$")
    expect([name for name, _ in read_site_list(folder)], ["C", "A", "B"], "the list")
    # The first window still lists A, B, C: its pick of B must not open A, now second in the file.
    desktop.activate(w1)
    pick_site(desktop, w1, "Down", "Return")
    time.sleep(1.5)  # what would show that it opened a site
    check("/a" not in server.requests and "/b" not in server.requests, "a stale pick opened %s" % server.requests)
    check(re.match("^start - ", desktop.title(w1)), "the first window shows %r" % desktop.title(w1))
    # Refilled from the file, the selector's second entry is A now.
    pick_site(desktop, w1, "Home", "Down", "Return")
    server.wait_request("/a")
    # The first window sets a start page, the second switches the connection functions off; both end
    # by SIGTERM at the same instant (a logout): both changes are kept.
    dialog = open_menu_item(desktop, w1, "p", "^Set Default Start Page$")
    desktop.click_twips(dialog, 45 + 165, -30 + 450, 5865, 285)  # the address box
    desktop.key("ctrl+a")
    desktop.type(server.url("new-start"))
    apply_typed_start_page(desktop, dialog)
    desktop.activate(w2)
    open_menu_item(desktop, w2, "i", "^Skyvane$")  # iNet Functions: "Do You Want To Disable Them?"
    answer_notice(desktop)  # Yes
    answer_notice(desktop)  # "... Will Be Disabled The Next Time ...": OK
    desktop.wait_gone("^Skyvane$")
    first.process.send_signal(signal.SIGTERM)
    second.end(signal.SIGTERM)
    first.end(0)
    with open(os.path.join(folder, "Skyvn.ini"), "rb") as f:
        switched = int.from_bytes(f.read()[24:26], "little")
    expect((read_settings(folder)["start_page"], switched), (server.url("new-start"), 1),
           "the start page and the connection switch")


REFRESH = (2520, 15, 825, 300)
INTERVAL_DOWN = (1605, 15, 225, 300)


def renderer_pids(program_pid):
    """The page renderers: children of the engine's zygote, itself a child of the program."""
    children = lambda *args: subprocess.run(["pgrep", "-P", *args], capture_output=True, text=True).stdout.split()
    return [int(p) for zygote in children(str(program_pid), "-f", "--", "--type=zygote") for p in children(zygote)]


def watch_page(desktop, server, program, folder, refresh_every_minute=False):
    """Skyvane showing /radar (titled "radar 1"), ready for a refresh."""
    server.titles["/radar"] = "radar 1"
    app, wid = launch(desktop, program, folder, start=server.url("radar"))
    if refresh_every_minute:
        for _ in range(9):  # 10 minutes down to 1
            desktop.click_twips(wid, *INTERVAL_DOWN)
    server.titles["/radar"] = "radar 2"
    return app, wid


def radar_requests(server):
    return [r for r in server.requests if r.startswith("/radar")]


def server_recovers_and_page_is_back_within_75_seconds(desktop, server, wid):
    del server.faults["/radar"]
    recovered = time.monotonic()
    desktop.wait_title(wid, "^radar 2 - ", timeout=80)
    check(time.monotonic() - recovered <= 75, "back after %.0f s" % (time.monotonic() - recovered))


def hanging_server_is_back_within_75_seconds(desktop, server, program, folder):
    app, wid = watch_page(desktop, server, program, folder)
    server.faults["/radar"] = ("hang",)
    desktop.click_twips(wid, *REFRESH)
    wait_for("the refresh", lambda: len(radar_requests(server)) >= 2, settle=10)
    server_recovers_and_page_is_back_within_75_seconds(desktop, server, wid)
    app.end()


def renderer_killed_during_an_outage(desktop, server, program, folder):
    app, wid = watch_page(desktop, server, program, folder)
    server.faults["/radar"] = ("status", 503)
    killed = renderer_pids(app.process.pid)
    check(killed, "no renderer found")
    for pid in killed:
        os.kill(pid, signal.SIGKILL)
    wait_for("a reload after the crash", lambda: len(radar_requests(server)) >= 2, settle=2)
    check(re.match("^radar 1 - ", desktop.title(wid)), "the caption became %r" % desktop.title(wid))
    check(desktop.dark_pixels(wid, 10, 30, 150, 40) > 20, "the last good picture is gone")
    server_recovers_and_page_is_back_within_75_seconds(desktop, server, wid)
    app.end()


def a_page_that_keeps_crashing_is_reloaded_ever_later(desktop, server, program, folder):
    """A page whose renderer dies soon after each good load (as one that runs out of memory): reloaded at
    once the first time, then after a pause, and the remote view says it is crashing."""
    port = free_port()
    server.titles["/radar"] = "radar"
    app = Skyvane(desktop, program, folder)
    wid = app.start("--serve", "127.0.0.1:%d" % port, "--interval", "5", server.url("radar"))
    desktop.wait_title(wid, "^radar - ")
    for crash in (1, 2):
        asked = len(radar_requests(server))
        wait_for("a renderer", lambda: renderer_pids(app.process.pid), settle=2)
        for pid in renderer_pids(app.process.pid):
            os.kill(pid, signal.SIGKILL)
        if crash == 1:
            wait_for("the reload after the first crash", lambda: len(radar_requests(server)) > asked, timeout=10)
            wait_for("the good load", lambda: '"state":"ok"' in curl("http://127.0.0.1:%d/status.json" % port)[1])
    wait_for("the state crashing", lambda: '"state":"crashing"' in curl("http://127.0.0.1:%d/status.json" % port)[1])
    time.sleep(5)
    expect(len(radar_requests(server)), asked, "loads in the pause after the second crash")
    app.end()


def login_page_is_not_taken_for_the_watched_page(desktop, server, program, folder):
    app, wid = watch_page(desktop, server, program, folder)
    server.faults["/radar"] = ("redirect", "/login")
    desktop.click_twips(wid, *REFRESH)
    server.wait_request("/login")
    del server.faults["/radar"]
    check(re.match("^radar 1 - ", desktop.title(wid)), "the caption became %r" % desktop.title(wid))
    desktop.wait_title(wid, "^radar 2 - ", timeout=75)  # the next attempt asks for /radar again
    expect(server.requests.count("/login"), 1, "requests for the login page")
    app.end()


def reload_while_minimized_is_never_blank(desktop, server, program, folder):
    app, wid = watch_page(desktop, server, program, folder, refresh_every_minute=True)
    desktop.xdotool("windowminimize", "--sync", wid)
    server.faults["/radar"] = ("hang",)  # the reload is still loading when the window comes back
    wait_for("the timer's refresh", lambda: len(radar_requests(server)) >= 2, timeout=75)
    desktop.activate(wid)
    check(eventually(lambda: desktop.dark_pixels(wid, 10, 30, 150, 40), lambda n: n > 20, timeout=3) > 20,
          "the window came back blank")
    app.end()


def frames_of(folder):
    """The PNG frames kept, by subfolder of Frames/, and the address each subfolder names."""
    root = os.path.join(folder, "Frames")
    subs = sorted(s for s in os.listdir(root) if os.path.exists(os.path.join(root, s, "Address.txt"))) \
        if os.path.isdir(root) else []  # a subfolder being made is not counted yet
    return {sub: (sorted(f for f in os.listdir(os.path.join(root, sub)) if f.endswith(".png")),
                  open(os.path.join(root, sub, "Address.txt")).read().strip()) for sub in subs}


def refreshes_keep_new_pictures_and_replay_them(desktop, server, program, folder):
    """Watched (the timer on), each new picture is kept, three at most here, in a folder of the user's
    alone. Replay plays them, stays on a frame that exists when the one it shows is pruned, saves them
    as a loop, and follows a navigation; F9 twice after it leaves the program running."""
    colours = [(200, 0, 0), (0, 150, 0), (0, 0, 200)]
    server.colours["/radar"] = ["#%02x%02x%02x" % c for c in colours]  # the last one stays
    os.makedirs(folder)
    with open(os.path.join(folder, "Skyvane.conf"), "w") as f:
        f.write("[Replay]\nFramesPerAddress=3\n")
    app, wid = launch(desktop, program, folder, "--interval", "10", start=server.url("radar"))
    kept = lambda: [name for pngs, _ in frames_of(folder).values() for name in pngs]
    wait_for("the first frame", lambda: len(kept()) == 1)
    for n in (2, 3):  # the page's colour changes at each load
        desktop.click_twips(wid, *REFRESH)
        wait_for("frame %d" % n, lambda: len(kept()) == n)
    asked = len(radar_requests(server))
    desktop.click_twips(wid, *REFRESH)  # the same picture again: nothing more kept
    wait_for("the refresh", lambda: len(radar_requests(server)) > asked, settle=2.5)
    expect([address for _, address in frames_of(folder).values()], [server.url("radar")], "Frames/ holds")
    expect(os.stat(os.path.join(folder, "Frames")).st_mode & 0o777, 0o700, "the Frames folder's mode")
    centre = lambda: desktop.pixel(wid, desktop.client_geometry(wid)[2] // 2, 200)
    shows = lambda colour: wait_for("the frame's colour %s (seen %s)" % (colour, centre()),
                                    lambda: all(abs(a - b) <= 8 for a, b in zip(centre(), colour)), timeout=5)
    desktop.key("F9")
    for key, colour in ((None, colours[2]), ("Home", colours[0]), ("Right", colours[1]), ("Home", colours[0])):
        if key:
            desktop.key(key)
        shows(colour)
    before = kept()
    server.colours["/radar"] = ["#e6c800"]  # yellow
    desktop.click_twips(wid, *REFRESH)  # a fourth picture pushes out the oldest, the one on screen
    wait_for("the oldest frame pruned", lambda: kept() != before)
    shows(colours[1])
    check(app.process.poll() is None, "the program died")
    desktop.key("ctrl+s")  # Save Loop As: the suggested name is kept, its folder typed before it
    desktop.window("^Save Loop As$")
    desktop.key("Home")
    desktop.type(folder + "/")
    desktop.key("Return")
    loop = os.path.join(folder, "Loop.webp")
    wait_for("the loop", lambda: os.path.exists(loop))  # written whole, then put in place
    with open(loop, "rb") as f:
        head = f.read(30)
    newest = os.path.join(folder, "Frames", *[(sub, names[-1]) for sub, (names, _) in frames_of(folder).items()][0])
    size = subprocess.run(["pngtopnm", newest], capture_output=True).stdout.split()[1:3]
    expect((head[:4], head[8:16], 1 + int.from_bytes(head[24:27], "little"), 1 + int.from_bytes(head[27:30], "little")),
           (b"RIFF", b"WEBPVP8X", int(size[0]), int(size[1])), "the loop")
    for name, codec in (("Loop.mp4", "h264"), ("Loop.gif", "gif")):  # the format follows the suffix typed
        time.sleep(0.5)
        desktop.key("ctrl+s")
        desktop.window("^Save Loop As$")
        desktop.key("ctrl+a")
        desktop.type(os.path.join(folder, name))
        desktop.key("Return")
        path = os.path.join(folder, name)
        wait_for("the loop " + name, lambda: os.path.exists(path))
        expect(probe_video(path)[::2], (codec, 3), name + " as ffprobe reads it")
    type_address(desktop, wid, "about:blank")  # Replay follows the page on screen, which has no frames
    desktop.key("Return")
    wait_for("no frames of this page", lambda: centre() == (0, 0, 0), timeout=10)
    for colour in ((255, 255, 255), (0, 0, 0)):  # the blank page, then Replay again
        desktop.key("F9")
        shows(colour)
    check(app.process.poll() is None, "the program died")
    desktop.key("Escape")
    open_menu_item(desktop, wid, "e", "^Skyvane$")  # Clear Replay Frames, asked first
    answer_notice(desktop)  # Yes
    wait_for("the frames deleted", lambda: not kept())
    app.end()
    expect(os.path.getsize(os.path.join(folder, "Skyvn.ini")), 470, "the size of Skyvn.ini")


def command_line_answers_and_refusals(desktop, server, program, folder):
    app = Skyvane(desktop, program, folder)
    no_display = {k: v for k, v in desktop.env.items() if k != "DISPLAY"}  # as over ssh: no display needed
    run = lambda *args: subprocess.run([app.program, *args], cwd=folder, env=no_display, capture_output=True,
                                       text=True, timeout=60)
    for args, code, stream, text in ((["--version"], 0, "stdout", "^Skyvane \\d+\\.\\d+"),
                                     (["--help"], 0, "stdout", "--kiosk"),
                                     (["--interval", "0"], 2, "stderr", "^skyvane: --interval takes"),
                                     (["--bogus"], 2, "stderr", "^skyvane: Unknown option 'bogus'"),
                                     (["--rotate", "x", "http://a/"], 2, "stderr", "^skyvane: --rotate")):
        p = run(*args)
        check(p.returncode == code and re.search(text, getattr(p, stream)),
              "%s gave %d: %r %r" % (args, p.returncode, p.stdout, p.stderr))
        if code == 2:
            check("Usage:" in p.stderr and p.stderr.count("\n") > 5, "no usage after %s" % args)
        check(not desktop.windows("Skyvane"), "%s opened a window" % args)
    expect(os.listdir(folder), ["skyvane"], "the folder")


def an_address_opens_and_the_start_page_stays(desktop, server, program, folder):
    app = Skyvane(desktop, program, folder, settings=settings_record(start_page=server.url("start")))
    wid = app.start(server.url("given"), "--interval", "3")
    desktop.wait_title(wid, "^given - ")
    check("/start" not in server.requests, "the start page was opened too: %s" % server.requests)
    expect(desktop.pixel(wid, 1185 // 15 + 2, 3), (255, 255, 255), "the interval box (lit when the timer is on)")
    app.end()
    expect(read_settings(folder)["start_page"], server.url("start"), "the start page")




def kiosk_fills_the_screen_with_the_page(desktop, server, program, folder):
    """Full screen, no strip; the screen saver (a python3-dbusmock on a private session bus, its calls
    logged) is asked to hold off."""
    server.colours["/wall"] = ["#00a000"]
    seeded = (600.0, 300.0, 9000.0, 6000.0)
    app = Skyvane(desktop, program, folder, settings=settings_record(*seeded))
    template, calls = os.path.join(folder, "..", "screensaver.py"), os.path.join(folder, "..", "calls.log")
    with open(template, "w") as f:
        f.write(SCREEN_SAVER_MOCK)
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address"], stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL, text=True)
    env = dict(desktop.env, DBUS_SESSION_BUS_ADDRESS=bus.stdout.readline().strip())
    mock = subprocess.Popen(["/usr/bin/python3", "-m", "dbusmock", "-t", template, "-l", calls], env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        ping = ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.ScreenSaver",
                "/org/freedesktop/ScreenSaver", "org.freedesktop.DBus.Peer.Ping"]
        wait_for("the screen saver mock", lambda: subprocess.run(ping, env=env, capture_output=True).returncode == 0)
        called = lambda name: os.path.exists(calls) and (" %s " % name) in open(calls).read()
        wid = app.start("--kiosk", server.url("wall"), env=env)
        desktop.wait_title(wid, "^wall - ")
        expect(eventually(lambda: desktop.client_geometry(wid), lambda g: g == (0, 0) + SCREEN), (0, 0) + SCREEN,
               "the kiosk window")
        for x, y in ((5, 2), (SCREEN[0] // 2, 10), (SCREEN[0] // 2, SCREEN[1] - 3)):
            expect(eventually(lambda: desktop.pixel(wid, x, y), lambda c: c == (0, 160, 0)), (0, 160, 0),
                   "the page's colour at %d,%d" % (x, y))
        check(eventually(lambda: called("Inhibit"), bool), "no Inhibit call")
        desktop.key("Escape", pause=0.5)  # a passer-by's key does nothing
        check(app.process.poll() is None, "Esc ended the kiosk")
        desktop.key("ctrl+q")
        app.process.wait(20)
        check(called("UnInhibit"), "the inhibit was not released")
        expect(read_settings(folder)["main"], seeded, "the kiosk saved")
    finally:
        for p in (mock, bus):
            p.terminate()


def rotation_shows_the_next_site(desktop, server, program, folder):
    """A turn to a site that fails keeps the picture of the one before; the next turn comes on time."""
    server.colours["/one"] = ["#c80000"]
    server.faults["/two"] = ("status", 503)
    app = Skyvane(desktop, program, folder, sites=[("One", server.url("one")), ("No address", ""),
                                                   ("Two", server.url("two")), ("Three", server.url("three"))])
    wid = app.start("--rotate", "1")
    desktop.wait_title(wid, "^one - ")
    point = view_point(desktop, wid, 0.8)
    server.wait_request("/two", timeout=70)
    started = time.monotonic()
    time.sleep(3)
    check(re.match("^one - ", desktop.title(wid)), "the caption became %r" % desktop.title(wid))
    expect(desktop.pixel(wid, *point), (200, 0, 0), "the picture during the failed turn")
    desktop.wait_title(wid, "^three - ", timeout=70)
    check(time.monotonic() - started <= 65, "the next site came after %.0f s" % (time.monotonic() - started))
    app.end()


# --- loads nobody watches ------------------------------------------------------------------------

RADAR_PICTURE = "<img src='/radar.png' style='position:absolute;left:0;top:0;width:100vw;height:100vh'>"
CARD = (244, 244, 244)


def view_point(desktop, wid, fraction):
    """A point of the browser's view in the window's client area, at a fraction of its height."""
    height = desktop.client_geometry(wid)[3] - 42  # the control strip above and the status bar below
    return 40, 24 + int(height * fraction)


def picture_page(server, *colours, noise_rows=0, size=(600, 400)):
    """/radar showing /radar.png over the whole view, one picture of each colour in turn."""
    server.titles["/radar"] = "radar 1"
    server.extra["/radar"] = RADAR_PICTURE
    server.files["/radar.png"] = [png(*size, c, noise_rows) for c in colours]


def failed_refreshes_keep_the_picture_and_caption(desktop, server, program, folder):
    """Every way a refresh fails keeps the picture and the caption, and no frame is kept of what came."""
    red = (200, 0, 0)
    picture_page(server, red)
    app, wid = launch(desktop, program, folder, "--interval", "10", start=server.url("radar"))  # watched
    point = view_point(desktop, wid, 0.5)
    wait_for("the first frame", lambda: desktop.pixel(wid, *point) == red and frames_of(folder))
    faults = [("/radar", f) for f in (("status", 503), ("status", 500), ("reset",), ("truncated",), "no picture")]
    for good, (path, fault) in enumerate(faults + [("/radar.png", ("status", 404)), ("/radar.png", ("empty",)),
                                                   ("/radar.png", ("hang",))], 1):
        server.titles["/radar"] = "Busy"
        if fault == "no picture":  # a "temporarily unavailable" page, answered with status 200
            server.extra["/radar"] = "<p>Service temporarily unavailable</p>"
        else:
            server.faults[path] = fault
        asked = len(server.requests)
        desktop.click_twips(wid, *REFRESH)
        wait_for("the refresh", lambda: path in server.requests[asked:], settle=3)
        check(re.match("^radar %d - " % good, desktop.title(wid)), "after %s the caption is %r" % (fault, desktop.title(wid)))
        expect(desktop.pixel(wid, *point), red, "after %s the picture" % (fault,))
        expect([len(f) for f, _ in frames_of(folder).values()], [1], "frames kept after %s" % (fault,))
        if fault == ("hang",):
            break
        server.faults.pop(path, None)
        server.extra["/radar"], server.titles["/radar"] = RADAR_PICTURE, "radar %d" % (good + 1)
        desktop.click_twips(wid, *REFRESH)  # the site answers again
        desktop.wait_title(wid, "^radar %d - " % (good + 1))
    app.end()


def a_big_picture_is_never_shown_half_drawn(desktop, server, program, folder):
    """A 3 MB picture refreshed: the view never shows an empty or half-drawn picture, and every frame
    kept is the whole picture (its bottom rows drawn)."""
    colours = [(200, 0, 0), (0, 150, 0), (0, 0, 200)]
    picture_page(server, *colours, noise_rows=800, size=(1200, 900))
    app, wid = launch(desktop, program, folder, "--interval", "10", start=server.url("radar"))  # watched
    bottom = view_point(desktop, wid, 0.96)  # the picture's last rows, which are decoded last
    wait_for("the first picture, kept", lambda: desktop.pixel(wid, *bottom) == colours[0] and frames_of(folder),
             timeout=30)
    for colour in colours[1:]:
        desktop.click_twips(wid, *REFRESH)
        deadline, seen = time.monotonic() + 30, None
        while seen != colour and time.monotonic() < deadline:
            seen = desktop.pixel(wid, *bottom)
            check(seen in colours, "the view showed %s during a refresh" % (seen,))
        expect(seen, colour, "the picture after the refresh")
    app.end()
    (sub, (frames, _)), = frames_of(folder).items()
    expect([png_pixel(os.path.join(folder, "Frames", sub, f), 40, 0.96) for f in frames], colours, "frames kept")


def pages_that_ask_do_not_stop_the_refresh(desktop, server, program, folder):
    server.titles["/radar"] = "radar 1"
    server.extra["/radar"] = ("<script>window.onbeforeunload = (e) => { e.preventDefault(); e.returnValue = ''; };"
                              "alert('Radar updated');</script>")
    app, wid = launch(desktop, program, folder, start=server.url("radar"))
    for n in (2, 3):
        desktop.click(wid, 200, 200, pause=0.3)  # a click in the page lets it ask before it is left
        server.titles["/radar"] = "radar %d" % n
        desktop.click_twips(wid, *REFRESH)
        desktop.wait_title(wid, "^radar %d - " % n)
        check(not desktop.windows("Javascript|leave", pid=app.process.pid), "a page's dialog is open")
    app.end()


def a_map_page_writing_its_address_is_refreshed_every_minute(desktop, server, program, folder):
    """A map page puts its view into its address at once, pushes it again at its load event and rewrites
    it every 5 s: each refresh of the one-minute timer asks for the page's own address and shows its new
    picture (the caption holds the last good picture's title while a refresh fails)."""
    colours = [(200, 0, 0), (0, 150, 0), (0, 0, 200)]
    picture_page(server, *colours)
    server.extra["/radar"] += (
        "<script>history.replaceState(null, '', '?lat=40.1&lon=-88.2&zoom=7');"
        "addEventListener('load', () => history.pushState(null, '', location.search + '&t=' + Date.now()));"
        "setInterval(() => history.replaceState(null, '', '?lat=40.1&lon=-88.2&zoom=7&t=' + Date.now()), 5000);"
        "</script>")
    app, wid = launch(desktop, program, folder, "--interval", "1", start=server.url("radar"))
    point = view_point(desktop, wid, 0.5)
    wait_for("the first picture", lambda: desktop.pixel(wid, *point) == colours[0])
    for n, colour in enumerate(colours[1:], 2):
        server.titles["/radar"] = "radar %d" % n
        desktop.wait_title(wid, "^radar %d - " % n, timeout=80)
        expect(eventually(lambda: desktop.pixel(wid, *point), lambda c: c == colour), colour, "picture %d" % n)
    expect(sorted(set(radar_requests(server))), ["/radar", "/radar.png"], "what was asked for")
    app.end()


def a_trickling_picture_is_shown(desktop, server, program, folder):
    red, green = (200, 0, 0), (0, 150, 0)
    picture_page(server, red, green, noise_rows=200)
    app, wid = launch(desktop, program, folder, start=server.url("radar"))
    point = view_point(desktop, wid, 0.9)
    wait_for("the picture", lambda: desktop.pixel(wid, *point) == red)
    server.faults["/radar.png"] = ("slow", 90)
    server.titles["/radar"] = "radar 2"
    desktop.click_twips(wid, *REFRESH)
    desktop.wait_title(wid, "^radar 2 - ", timeout=120)
    expect(desktop.pixel(wid, *point), green, "the picture after it arrived")
    expect(server.requests.count("/radar.png"), 2, "requests for the picture")
    app.end()


def kiosk_started_while_the_site_refuses(desktop, server, program, folder):
    server.faults["/wall"] = ("reset",)
    app = Skyvane(desktop, program, folder)
    wid = app.start("--kiosk", server.url("wall"))
    server.wait_request("/wall")
    wait_for("the card", lambda: desktop.pixel(wid, SCREEN[0] // 2, SCREEN[1] - 40) == CARD)
    corner = eventually(lambda: desktop.pixel(wid, SCREEN[0] - 20, 20), lambda c: c[0] > 120 and c[1] < 80, timeout=5)
    check(corner[0] > 120 and corner[1] < 80, "the corner label is %s, not red" % (corner,))
    del server.faults["/wall"]
    answering = time.monotonic()
    desktop.wait_title(wid, "^wall - ", timeout=80)
    check(time.monotonic() - answering <= 75, "shown %.0f s after the site answered" % (time.monotonic() - answering))
    app.end(signal.SIGTERM)  # at most two lines printed in all, checked by end()


def waking_from_sleep_brings_a_refresh(desktop, server, program, folder):
    """logind (a python3-dbusmock on a private system bus) says the machine woke."""
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address"], stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL, text=True)
    address = bus.stdout.readline().strip()
    env = dict(desktop.env, DBUS_SYSTEM_BUS_ADDRESS=address)
    logind = subprocess.Popen(["/usr/bin/python3", "-m", "dbusmock", "--system", "--template", "logind"], env=env,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    ping = ["dbus-send", "--system", "--print-reply", "--dest=org.freedesktop.login1", "/org/freedesktop/login1",
            "org.freedesktop.DBus.Peer.Ping"]
    emit = ["/usr/bin/python3", "-c", "import dbus; dbus.Interface(dbus.SystemBus().get_object('org.freedesktop.login1',"
            " '/org/freedesktop/login1'), 'org.freedesktop.DBus.Mock').EmitSignal('org.freedesktop.login1.Manager',"
            " 'PrepareForSleep', 'b', [False])"]
    try:
        wait_for("the logind mock", lambda: subprocess.run(ping, env=env, capture_output=True).returncode == 0)
        desktop.env["DBUS_SYSTEM_BUS_ADDRESS"] = address
        app, wid = watch_page(desktop, server, program, folder)
        desktop.click_twips(wid, *INTERVAL_DOWN)  # the timer on, nine minutes: the interval box lit
        wait_for("the timer on", lambda: desktop.pixel(wid, 1185 // 15 + 2, 3) == (255, 255, 255))
        subprocess.run(emit, env=env, check=True, capture_output=True)
        woke = time.monotonic()
        desktop.wait_title(wid, "^radar 2 - ", timeout=15)
        check(time.monotonic() - woke <= 10, "refreshed %.0f s after the wake" % (time.monotonic() - woke))
        app.end()
    finally:
        for p in (logind, bus):
            p.terminate()
            p.wait()


def red(colour):
    return colour[0] > 200 and colour[1] < 60 and colour[2] < 60


def a_watched_area_fills_the_view(desktop, server, program, folder):
    """A watch area dragged around a small red square on a grey page of a fixed size (as a radar
    picture is), with a link far from it, fills the view with it: after a refresh, a maximize, a
    resize, an alert box drawn over it, and a restart."""
    server.colours["/map"] = ["#888"]
    server.extra["/map"] = ("<a href='#'>a link</a><div style='position:absolute;left:0;top:0;width:1800px;"
                            "height:1400px'></div><div style='position:absolute;left:240px;top:150px;width:40px;"
                            "height:40px;background:#fd0000'></div>")
    app, wid = launch(desktop, program, folder, server.url("map"))
    desktop.wait_title(wid, "^map - ")
    middle = lambda: (desktop.client_geometry(wid)[2] // 2, view_point(desktop, wid, 0.5)[1])
    shows_square = lambda what: wait_for("the red square in the middle of the view " + what,
                                         lambda: red(desktop.pixel(wid, *middle())))
    check(not red(desktop.pixel(wid, *middle())), "the middle of the view is red before")
    open_menu_item(desktop, wid, "a")
    desktop.drag(wid, (220, 24 + 135), (300, 24 + 205))
    shows_square("once dragged")
    edge = lambda: (desktop.client_geometry(wid)[2] - 4, middle()[1])
    wait_for("no scrollbar over the part", lambda: desktop.pixel(wid, *edge()) == (0x88, 0x88, 0x88))
    refresh_and_wait(desktop, server, "/map")
    check(red(desktop.pixel(wid, *middle())), "the area is gone after a refresh")
    maximize(desktop, wid)
    shows_square("maximized")
    desktop.run(["wmctrl", "-i", "-r", hex(wid), "-b", "remove,maximized_vert,maximized_horz"])
    wait_for("the window back from maximized", lambda: desktop.outer_geometry(wid)[2] < SCREEN[0], interval=0.3)
    desktop.xdotool("windowsize", wid, 1000, 700)
    wait_for("the window resized", lambda: desktop.client_geometry(wid)[2:] == (1000, 700), interval=0.3)
    shows_square("resized")
    open_menu_item(desktop, wid, "b")
    desktop.drag(wid, (100, 100), (400, 300))
    time.sleep(1)
    check(red(desktop.pixel(wid, *middle())), "the area is lost once an alert box is drawn")
    app.end()
    app, wid = launch(desktop, program, folder, server.url("map"))
    shows_square("after a restart")
    app.end()


@contextlib.contextmanager
def notification_daemon(desktop):
    """A python3-dbusmock notification daemon on a private session bus, which the program started next
    reaches; yields what was sent to it, the bodies of the notifications."""
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address"], stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL, text=True)
    address = bus.stdout.readline().strip()
    env = dict(desktop.env, DBUS_SESSION_BUS_ADDRESS=address)
    daemon = subprocess.Popen(["/usr/bin/python3", "-m", "dbusmock", "--template", "notification_daemon"], env=env,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    calls = ["/usr/bin/python3", "-c", "import dbus; print('\\n'.join(str(c[1][4]).replace('\\n', ' ') for c in "
             "dbus.Interface(dbus.SessionBus().get_object('org.freedesktop.Notifications', "
             "'/org/freedesktop/Notifications'), 'org.freedesktop.DBus.Mock').GetMethodCalls('Notify')))"]

    def bodies():
        answer = subprocess.run(calls, env=env, capture_output=True, text=True)
        return [b for b in answer.stdout.splitlines() if b] if answer.returncode == 0 else None

    try:
        wait_for("the notification daemon mock", lambda: bodies() == [])
        desktop.env["DBUS_SESSION_BUS_ADDRESS"] = address
        yield bodies
    finally:
        for p in (daemon, bus):
            p.terminate()
            p.wait()


def refresh_and_wait(desktop, server, path):
    asked = server.requests.count(path)
    desktop.key("F5")
    wait_for("the refresh", lambda: server.requests.count(path) > asked, settle=2.5)


def a_storm_in_the_alert_box_is_told(desktop, server, program, folder):
    """An alert box over a grey map crossed by a red road, outlined faintly: the road never alerts; a red
    square that enters the box sends one notification, outlines the box in red (also once the window is
    maximized) and stays in the caption and the status bar; the all clear comes at the second load after
    the square has left, though the picture stays the same."""
    with notification_daemon(desktop) as bodies:
        notified = lambda: len(bodies())
        server.colours["/map"] = ["#888"]
        square = lambda x, y: ("<div style='position:absolute;left:0;top:200px;width:100%%;height:6px;"
                               "background:#fd0000'></div><div style='position:absolute;left:%dpx;top:%dpx;"
                               "width:60px;height:60px;background:#fd0000'></div>" % (x, y))
        server.extra["/map"] = square(300, 40)
        app, wid = launch(desktop, program, folder, "--interval", "1", server.url("map"))
        desktop.wait_title(wid, "^map - ")
        open_menu_item(desktop, wid, "b")
        box = (20, 24 + 136, 300, 24 + 256)
        desktop.drag(wid, box[:2], box[2:])  # across the road, below the square
        edge = lambda pixel, y: [pixel(x, y) for x in range(box[0] + 20, box[2] - 20)]
        wait_for("the box outlined faintly", lambda: any(c[0] > c[1] + 40 and not red(c)
                                                         for c in edge(desktop.pixels(wid), box[1])))

        def refresh_with_square_at(x, y):
            server.extra["/map"] = square(x, y)
            refresh_and_wait(desktop, server, "/map")

        for at in ((380, 60), (260, 90), (340, 30), (300, 70)):  # the map learnt: the road is no storm
            refresh_with_square_at(*at)
        expect(notified(), 0, "notifications with the road alone")
        refresh_with_square_at(100, 230)
        wait_for("the storm alert's notification", lambda: notified() == 1)
        check(bodies()[0].startswith("Storm colours in the alert box since "), "the alert said %r" % bodies())
        refresh_with_square_at(130, 240)
        desktop.wait_title(wid, "^Storm alert since \\d\\d:\\d\\d - map - ")
        _, _, width, height = desktop.client_geometry(wid)
        pixel = desktop.pixels(wid)
        status = [pixel(x, y) for x in range(width // 2, width, 2) for y in range(height - 16, height - 2)]
        check(sum(1 for c in status if c[0] > 150 and c[1] < 60 and c[2] < 60) > 20,
              "the status bar names the alert one refresh after it began")
        check(all(red(c) for c in edge(pixel, box[1] + 1)), "the box outlined in red")
        maximize(desktop, wid)
        _, _, wide, high = desktop.client_geometry(wid)
        top = 24 + round((box[1] - 24) / (height - 42) * (high - 42))
        left, right = (round(x / width * wide) for x in (box[0], box[2]))
        wait_for("the red outline at the box's place in the maximized view",
                 lambda: all(red(c) for c in (lambda p: [p(x, top + 1) for x in range(left + 20, right - 20)])(
                     desktop.pixels(wid))))
        refresh_with_square_at(380, 60)
        expect(notified(), 1, "notifications while the storm stays")
        refresh_and_wait(desktop, server, "/map")  # the same picture again
        wait_for("the all clear", lambda: notified() == 2)
        check(bodies()[1].startswith("All clear at "), "the all clear said %r" % bodies())
        desktop.wait_title(wid, "^map - ")
        app.end()


def an_alert_box_is_judged_at_once_from_the_frames_kept(desktop, server, program, folder):
    """A radar picture over the whole view (a grey map, a red road across it, dark labels that move):
    three frames are kept, then an alert box is drawn across the road. The first new picture with a storm
    in the box is told, the road known as map from the frames kept; after the window is maximized the
    map is known at once again, and the all clear comes two new pictures after the storm has gone."""
    dark, storm = (0x44, 0x44, 0x44), (0xfd, 0, 0)
    with notification_daemon(desktop) as bodies:
        picture_page(server, (0, 0, 0))
        server.extra["/radar"] = RADAR_PICTURE.replace("style='", "style='image-rendering:pixelated;")
        server.files["/radar.png"] = [map_png((300, 10, dark))]
        app, wid = launch(desktop, program, folder, "--interval", "10", start=server.url("radar"))  # watched
        wait_for("the first frame", lambda: frames_of(folder))
        for label in (200, 100):
            server.files["/radar.png"] = [map_png((label, 20, dark))]
            refresh_and_wait(desktop, server, "/radar.png")
        expect([len(f) for f, _ in frames_of(folder).values()], [3], "frames kept")
        open_menu_item(desktop, wid, "b")
        width = desktop.client_geometry(wid)[2]
        desktop.drag(wid, view_point(desktop, wid, 0.25), (width // 2, view_point(desktop, wid, 0.75)[1]))
        server.files["/radar.png"] = [map_png((60, 130, storm), (300, 20, dark))]
        refresh_and_wait(desktop, server, "/radar.png")
        wait_for("the storm alert's notification", lambda: len(bodies()) == 1)
        check(bodies()[0].startswith("Storm colours in the alert box since "), "the alert said %r" % bodies())
        maximize(desktop, wid)
        server.files["/radar.png"] = [map_png((200, 10, dark))]
        refresh_and_wait(desktop, server, "/radar.png")
        expect(len(bodies()), 1, "notifications after one clear picture")
        server.files["/radar.png"] = [map_png((300, 10, dark))]
        refresh_and_wait(desktop, server, "/radar.png")
        wait_for("the all clear", lambda: len(bodies()) == 2)
        check(bodies()[1].startswith("All clear at "), "the all clear said %r" % bodies())
        app.end()


# Every scenario, the minute-long watch scenarios first so that the short ones fill the time beside them.
LONG = ("a_trickling_picture_is_shown", "kiosk_started_while_the_site_refuses",
        "a_map_page_writing_its_address_is_refreshed_every_minute",
        "rotation_shows_the_next_site", "hanging_server_is_back_within_75_seconds",
        "renderer_killed_during_an_outage", "login_page_is_not_taken_for_the_watched_page",
        "reload_while_minimized_is_never_blank")
SCENARIOS = sorted((f for f in list(globals().values()) if getattr(f, "__code__", None) and
                    f.__code__.co_varnames[:f.__code__.co_argcount] == ("desktop", "server", "program", "folder")),
                   key=lambda f: f.__name__ not in LONG)


def run_scenario(scenario, program):
    started = time.monotonic()
    with tempfile.TemporaryDirectory(prefix="skyvane-e2e-") as workdir:
        desktop = server = None
        try:
            desktop = Desktop(workdir)
            server = WebServer()
            scenario(desktop, server, program, os.path.join(workdir, "program"))
            return scenario.__name__, None, time.monotonic() - started
        except Exception:
            shot = os.path.join(tempfile.gettempdir(), scenario.__name__ + ".xwd")
            if desktop:
                desktop.run(["xwd", "-root", "-silent", "-out", shot], check_rc=False)
            return scenario.__name__, traceback.format_exc() + "screen: " + shot, time.monotonic() - started
        finally:
            if desktop:
                desktop.run(["pkill", "-KILL", "-f", os.path.join(workdir, "program", "skyvane")], check_rc=False)
                desktop.close()
            if server:
                server.close()


def main():
    names = [s.__name__ for s in SCENARIOS]
    unknown = [name for name in LONG if name not in names]
    if unknown or len(sys.argv) < 2:
        print("usage: run_e2e.py PROGRAM [SCENARIO...] | --list" + "".join("\nno scenario %s in LONG" % name
                                                                          for name in unknown), file=sys.stderr)
        return 2
    if sys.argv[1] == "--list":  # a name a line, "long" after the minute-long ones (read by CMake)
        print("\n".join(name + (" long" if name in LONG else "") for name in names))
        return 0
    program, wanted, failed = os.path.abspath(sys.argv[1]), sys.argv[2:], 0
    unknown = [name for name in wanted if name not in names]
    if unknown:
        print("no scenario named %s" % ", ".join(unknown), file=sys.stderr)
        return 2
    scenarios = [s for s in SCENARIOS if not wanted or s.__name__ in wanted]
    with concurrent.futures.ThreadPoolExecutor(max_workers=int(os.environ.get("SKYVANE_E2E_JOBS", "3"))) as pool:
        for name, error, seconds in pool.map(lambda s: run_scenario(s, program), scenarios):
            print("%-4s %-45s %5.1f s" % ("ok" if error is None else "FAIL", name, seconds), flush=True)
            if error:
                failed += 1
                print(error, flush=True)
    print("%d of %d scenarios passed" % (len(scenarios) - failed, len(scenarios)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
