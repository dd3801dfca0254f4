#!/usr/bin/python3
"""The game end to end on a virtual X display, played as a player would:
reach the menu, start a game with the mouse, launch a ball, flip, go back to
the menu with Escape and close the window. Then the program must have ended
with code 0, written a 16-byte "data\\settings", recorded a score for the
player and the table, and shown the table (not a black or a menu screen)
while the game ran.

usage: xvfb-run -a -s "-screen 0 1024x768x24" e2e_test.py BUILD_DIR [SIM]
  BUILD_DIR holds zarnik, data.pak and data/; SIM is zarnik-sim (it draws the
  table alone, the picture the game's screenshot is compared with).
Needs xdotool and Pillow; runs the game in a fresh folder of its own."""
import ctypes
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time

from PIL import Image, ImageChops, ImageGrab

TITLE = "Zarnik v1.0"
TABLE = "data\\tables\\t0000.script"
# How long a finger stays on a key or a button.
PRESS = 0.15


def fail(message):
    sys.stderr.write("e2e: FAILED: %s\n" % message)
    sys.exit(1)


def xdotool(*args, timeout=20):
    out = subprocess.run(["xdotool"] + [str(a) for a in args], capture_output=True, text=True,
                         timeout=timeout)
    if out.returncode != 0:
        fail("xdotool %s: %s" % (" ".join(map(str, args)), out.stderr.strip()))
    return out.stdout


def wait_for(what, condition, timeout=30.0, step=0.05, fatal=True):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        value = condition()
        if value:
            return value
        time.sleep(step)
    if fatal:
        fail("timed out waiting for " + what)
    return None


def close_window(window):
    """Asks the window to close as a window manager does (WM_DELETE_WINDOW)."""
    x = ctypes.cdll.LoadLibrary("libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XInternAtom.restype = ctypes.c_ulong
    x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                             ctypes.c_void_p]
    x.XFlush.argtypes = [ctypes.c_void_p]
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                    ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                    ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]

    class Event(ctypes.Union):
        _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]

    display = x.XOpenDisplay(None)
    if not display:
        fail("can't open the X display")
    event = Event()
    event.xclient.type = 33  # ClientMessage
    event.xclient.window = window
    event.xclient.message_type = x.XInternAtom(display, b"WM_PROTOCOLS", 0)
    event.xclient.format = 32
    event.xclient.data[0] = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    x.XSendEvent(display, window, 0, 0, ctypes.byref(event))
    x.XFlush(display)
    x.XCloseDisplay(display)


def menu_control(script, name):
    """(tx, ty, tw, th) and caption of the named control of a menu script."""
    at = script.find('name = "%s";' % name)
    if at < 0:
        return None, None
    block = script[at:at + 2000].split("{")[0]  # its own keys, before any child
    keys = dict(re.findall(r"(\w+) = (-?\d+);", block))
    caption = re.search(r'Caption = "([^"]*)";', block)
    rect = tuple(int(keys[k]) for k in ("tx", "ty", "tw", "th")) if "tx" in keys else None
    return rect, caption.group(1) if caption else None


def screen_rect(table_script):
    keys = dict(re.findall(r"(left|right|top|bottom) = (-?\d+);", table_script.split("};;")[0]))
    return tuple(int(keys[k]) for k in ("left", "top", "right", "bottom"))


def read_scores(path):
    """[(player, [(table, score)])] of a scores file."""
    data = open(path, "rb").read()
    players, p = [], 0
    while p + 2 <= len(data):
        tag = struct.unpack_from("<H", data, p)[0]
        p += 2
        if tag == 1 and p + 64 <= len(data):
            players.append((data[p:p + 64].split(b"\0")[0].decode("cp1251"), []))
            p += 64
        elif tag == 2 and p + 68 <= len(data) and players:
            table = data[p:p + 64].split(b"\0")[0].decode("cp1251")
            players[-1][1].append((table, struct.unpack_from("<i", data, p + 64)[0]))
            p += 68
        else:
            break
    return players


def differing(a, b, tolerance=40):
    """Share of pixels whose colours differ by more than the tolerance."""
    diff = ImageChops.difference(a.convert("RGB"), b.convert("RGB")).convert("L")
    histogram = diff.histogram()
    return sum(histogram[tolerance + 1:]) / float(a.width * a.height)


def brightness(image):
    pixels = image.convert("L").histogram()
    return sum(i * n for i, n in enumerate(pixels)) / float(image.width * image.height)


def main():
    if len(sys.argv) < 2:
        fail(__doc__)
    build = os.path.abspath(sys.argv[1])
    sim = sys.argv[2] if len(sys.argv) > 2 else os.path.join(build, "tools/zarnik-sim/zarnik-sim")
    menu_script = open(os.path.join(build, "data/menu/main.script"), encoding="cp1251").read()
    table_script = open(os.path.join(build, "data/tables/t0000.script"), encoding="cp1251").read()
    start_rect, _ = menu_control(menu_script, "START")
    if not start_rect:
        fail("the main menu has no START button")
    _, player = menu_control(menu_script, "PLAYER_NAME")
    player = player or "unnamed"
    left, top, right, bottom = screen_rect(table_script)

    work = tempfile.mkdtemp(prefix="zarnik-e2e-")
    try:
        # A fresh folder: the program, the archive, and an empty data folder
        # for what the game writes.
        shutil.copy2(os.path.join(build, "zarnik"), work)
        os.symlink(os.path.join(build, "data.pak"), os.path.join(work, "data.pak"))
        os.mkdir(os.path.join(work, "data"))

        # What the table alone looks like: zarnik-sim's first frame.
        sim_out = subprocess.run([sim, TABLE, "--frames", "1", "--shots", work, "--every", "1"],
                                 cwd=build, capture_output=True, text=True, timeout=60)
        if sim_out.returncode != 0:
            fail("zarnik-sim: " + sim_out.stderr)
        expected = Image.open(os.path.join(work, "frame000001.png")).crop((left, top, right, bottom))

        env = dict(os.environ, ZARNIK_MESSAGES="stderr", SDL_AUDIODRIVER="dummy")
        # What the game says goes to a file: a pipe nobody reads could fill and stop it.
        said = open(os.path.join(work, "said.txt"), "w+")
        game = subprocess.Popen([os.path.join(work, "zarnik")], env=env, stderr=said)
        game.said = said
        try:
            run(game, work, start_rect, expected, (left, top, right, bottom))
            code = game.wait(timeout=30)
        finally:
            if game.poll() is None:
                game.kill()
        said.seek(0)
        errors = said.read()
        if code != 0:
            fail("exit code %d; messages:\n%s" % (code, errors))

        settings = os.path.join(work, "data", "settings")
        if not os.path.exists(settings) or os.path.getsize(settings) != 16:
            fail("no 16-byte data/settings")
        scores = os.path.join(work, "data", "scores")
        if not os.path.exists(scores):
            fail("no data/scores")
        entries = read_scores(scores)
        mine = [results for name, results in entries if name == player]
        if not mine or not any(t.lower() == TABLE.lower() for t, _ in mine[0]):
            fail("no score of %r on %s in %r" % (player, TABLE, entries))
        score = [s for t, s in mine[0] if t.lower() == TABLE.lower()][0]
        print("e2e: passed; %s scored %d on %s" % (player, score, TABLE))
        if errors.strip():
            print("e2e: the game said:\n" + errors)
    finally:
        shutil.rmtree(work, ignore_errors=True)


def run(game, work, start_rect, expected, table_rect):
    def ended():
        game.said.seek(0)
        fail("the game ended early with code %d: %s" % (game.returncode, game.said.read()))

    def find_window():
        if game.poll() is not None:
            ended()
        # Windows come and go while the game starts (SDL replaces its first
        # window by another of the same name when the renderer starts, and
        # xdotool may trip over a vanished one): ask again until the game's
        # own is there, and take its geometry in the same breath.
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(game.pid),
                              "--name", "^Zarnik v1\\.0$"],
                             capture_output=True, text=True, timeout=20)
        if out.returncode != 0 or not out.stdout.split():
            return None
        window = out.stdout.split()[-1]
        out = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window],
                             capture_output=True, text=True, timeout=20)
        if out.returncode != 0:
            return None
        g = dict(line.split("=") for line in out.stdout.split())
        x, y = int(g["X"]), int(g["Y"])
        return window, (x, y, x + int(g["WIDTH"]), y + int(g["HEIGHT"]))

    def focused():
        # The window found a moment ago may be gone: find it again each try.
        found = find_window()
        if found and subprocess.run(["xdotool", "windowfocus", "--sync", found[0]],
                                    capture_output=True, timeout=20).returncode == 0:
            return found
        return None

    window, box = wait_for("the game's window", focused)

    def grab():
        if game.poll() is not None:
            ended()
        return ImageGrab.grab(bbox=box, xdisplay=os.environ["DISPLAY"])

    def settled():
        a = grab()
        time.sleep(0.1)
        b = grab()
        return b if brightness(b) > 10 and differing(a, b) < 0.02 else None

    def press_key(key, hold=PRESS):
        # One xdotool run holds the key exactly as long, however busy the machine.
        xdotool("keydown", key, "sleep", hold, "keyup", key)

    def shows_table(image):
        return differing(image.crop(table_rect), expected) < 0.2

    menu = wait_for("the menu", settled)
    # The window that shows the menu is the one that stays.
    window, box = wait_for("the game's window", focused)

    # Start: a click on the START button, in screen coordinates (no window id
    # that could have gone stale).
    x, y, w, h = start_rect
    xdotool("mousemove", box[0] + x + w // 2, box[1] + y + h // 2)
    xdotool("mousedown", 1, "sleep", PRESS, "mouseup", 1)
    shot = wait_for("the table", lambda: (lambda g: g if shows_table(g) else None)(grab()))
    # Kept where the test ran, to look at.
    shot.save("e2e_game.png")
    if brightness(shot) < 10:
        fail("the game's screen is black")
    if differing(shot, menu) < 0.1:
        fail("the game's screen is the menu")

    # The table's light show lasts 2 s after loading; nothing moves before.
    time.sleep(2.2)
    press_key("space", 1.0)
    # A few seconds of play: the flippers by turns.
    for key in ("Shift_L", "Shift_R") * 5:
        press_key(key, 0.2)
        time.sleep(0.1)

    # Escape leaves to the menu.
    def menu_again():
        return differing(grab(), menu) < 0.1

    # The game reads the menu key once a frame: on a busy machine a press can
    # fall between two frames. Press again while the menu has not come back.
    for _ in range(5):
        press_key("Escape")
        if wait_for("the menu again", menu_again, timeout=6.0, fatal=False):
            break
    else:
        fail("timed out waiting for the menu again")

    close_window(int(wait_for("the game's window", find_window)[0]))


if __name__ == "__main__":
    main()
