"""Helpers shared by the main-window tests: clicking controls, another
program to hold the focus, and whether the parts that land separately (the
recording engine, the registry store) are in this build."""
import os
import subprocess
import time

from harness import WINE

STATE_KEY = r"HKCU\SOFTWARE\Orvantis\Velmorax\State"
KEYS_KEY = r"HKCU\SOFTWARE\Orvantis\Velmorax\Keys"

START, STOP, OPEN, PAUSE, SETTINGS, EXIT, HELP = 1000, 1001, 1002, 1003, 1076, 1079, 57670
WM_CLOSE, WM_SYSCOMMAND = 0x0010, 0x0112


def start(session, *args):
    proc = session.start(*args)
    session.wait_window("Velmorax")
    return proc


def click(session, control_id, window="Velmorax"):
    r = session.controls(window)[control_id]["rect"]
    session.xdotool("mousemove", (r[0] + r[2]) // 2, (r[1] + r[3]) // 2, "click", "1")


def wait_for(predicate, timeout=20, what="condition"):
    deadline = time.time() + timeout
    while time.time() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.3)
    raise AssertionError("%s not reached within %ds" % (what, timeout))


def main_controls(session):
    """Controls of the main window; a message box shares its title, so the
    window is told apart by its start button."""
    for w in session.windows():
        if w["title"] == "Velmorax" and w["cls"] == "#32770":
            c = session.controls(w["hwnd"])
            if START in c:
                return c
    return {}


def main_window(session):
    """The handle of the main window (a message box shares its title)."""
    return [w for w in session.windows() if w["title"] == "Velmorax" and w["cls"] == "#32770"][0]["hwnd"]


def start_with_settings(session, *args):
    """Starts the program and shows its settings panel; returns the process
    and the main window's handle."""
    proc = start(session, *args)
    main = main_window(session)
    session.wintool("command", main, SETTINGS)
    wait_for(lambda: session.controls(main)[1065]["visible"], what="settings shown")
    return proc, main


def enabled(session, *ids):
    c = main_controls(session)
    return tuple(c[i]["enabled"] if i in c else None for i in ids)


def idle_pattern(session):
    return enabled(session, START, PAUSE, OPEN, STOP, HELP, EXIT) == (True, True, True, False, True, True)


def recording_pattern(session):
    return enabled(session, START, PAUSE, OPEN, STOP, HELP, EXIT) == (False, True, False, True, False, True)


def focus_window(session, title):
    """Gives an X window of that exact title the keyboard focus (there is no
    window manager to do it on a click)."""
    ids = subprocess.run(["xdotool", "search", "--name", "^%s$" % title], env=session.env,
                         capture_output=True, text=True).stdout.split()
    session.xdotool("windowfocus", "--sync", ids[-1])


def focus_other_program(session):
    """Starts Wine's Notepad and gives it the keyboard focus; returns its process."""
    proc = subprocess.Popen([WINE, "notepad"], cwd=session.work, env=session.env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    session.wait_window("Untitled - Notepad")
    focus_window(session, "Untitled - Notepad")
    return proc


def select_tab(session, index, window="Velmorax"):
    """Clicks along the tab strip from the left until the tab of that index
    is selected: a click needs no keyboard focus, which a window only gets
    here when told to (there is no window manager)."""
    r = session.controls(window)[1065]["rect"]
    for x in range(r[0] + 8, r[2], 10):
        if session.wintool("tab", window, 1065).strip() == str(index):
            return
        session.xdotool("mousemove", x, r[1] + 10, "click", "1")
    wait_for(lambda: session.wintool("tab", window, 1065).strip() == str(index), what="tab %d" % index)


def help_heading(session):
    w = session.wait_window("Velmorax Help")
    return session.controls(w["hwnd"])[101]["text"]


def move_pointer(session, x, y):
    """Moves the pointer and waits until Wine has seen it get there: a
    recording that starts earlier takes the old place as its start."""
    session.xdotool("mousemove", x, y)
    wait_for(lambda: session.wintool("pointer").split() == [str(x), str(y)], what="pointer at %d,%d" % (x, y))
