"""Helpers for "-install": the folder dialog answered as a user answers it,
with the mouse and the keyboard, and the places an installation leaves
things in."""
import glob
import os
import re
import subprocess
import time

TITLE = "Install Velmorax"
FOLDER = 1088
UNINSTALL_KEY = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Velmorax"
# Letters that xdotool cannot type in one go into a Wine window: each one is
# sent as its own key, slowly enough for Wine to see the key map change.
KEYSYMS = {"\u00e9": "eacute"}


def batch_file(session):
    return os.path.join(session.prefix, "drive_c", "windows", "UnZelko.bat")


def program_group(session):
    """The Start Menu folder that Wine's shell makes of the group, or None."""
    found = glob.glob(os.path.join(session.prefix, "drive_c", "users", "*", "AppData", "Roaming", "Microsoft",
                                   "Windows", "Start Menu", "Programs", "Velmorax"))
    return found[0] if found else None


def windows_path(unix_path):
    return "Z:" + unix_path.replace("/", "\\")


def wait_dialog(session):
    return session.wait_window(TITLE)["hwnd"]


def next_box(session, dialog, timeout=30):
    """The next message box, not counting the folder dialog itself (its static texts look alike)."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        for box in session.message_boxes():
            if box["hwnd"] != dialog:
                return box
        time.sleep(0.3)
    raise AssertionError("no message box within %ds" % timeout)


def folder_text(session, dialog):
    return session.controls(dialog)[FOLDER]["text"]


def type_folder(session, dialog, text):
    """Clicks into the folder field, replaces its text by typing and presses Enter."""
    r = session.controls(dialog)[FOLDER]["rect"]
    session.xdotool("mousemove", (r[0] + r[2]) // 2, (r[1] + r[3]) // 2, "click", "1")
    # No window manager gives the window the keyboard on a click: the test does.
    where = subprocess.run(["xdotool", "getmouselocation", "--shell"], env=session.env, capture_output=True,
                           text=True, check=True, timeout=30).stdout
    session.xdotool("windowfocus", "--sync", re.search(r"WINDOW=(\d+)", where).group(1))
    session.xdotool("key", "End", "shift+Home", "BackSpace")
    run = ""
    for c in text + "\0":
        if c in KEYSYMS or c == "\0":
            if run:
                session.xdotool("type", "--delay", "5", run)
            run = ""
            if c != "\0":
                session.xdotool("key", "--delay", "300", KEYSYMS[c])
        else:
            run += c
    typed = folder_text(session, dialog)
    assert typed == text, "typed %r, the field holds %r" % (text, typed)
    session.xdotool("key", "Return")


def answer_with_folder(session, dialog, text, *answers):
    """Types a folder and answers the message boxes that follow with the
    given buttons; returns their texts."""
    type_folder(session, dialog, text)
    texts = []
    for button in answers:
        box = next_box(session, dialog)
        texts.append((box["caption"], box["text"]))
        session.answer(box, button)
        deadline = time.time() + 30
        while any(b["hwnd"] == box["hwnd"] for b in session.message_boxes()) and time.time() < deadline:
            time.sleep(0.2)
    return texts
