"""`cmake --install` into a temporary prefix; the installed game, run headless
from a read-only copy, keeps its settings and log in the user data folder.

install_test.py BUILD_DIR CMAKE
"""
import os
import shutil
import stat
import subprocess
import sys
import tempfile


def fail(message):
    sys.stderr.write("install: FAILED: %s\n" % message)
    sys.exit(1)


def run_game(game, cwd, extra_env):
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "XDG_DATA_HOME", "HOME")}
    env.update(SDL_VIDEODRIVER="dummy", SDL_AUDIODRIVER="dummy", ZARNIK_MESSAGES="stderr")
    env.update(extra_env)
    command = [game, "--frames", "30"]
    # Root writes through any permission bits: play as nobody, so the copy
    # really is read-only to the game.
    if os.geteuid() == 0:
        command = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"] + command
    out = subprocess.run(command, cwd=cwd, env=env, capture_output=True, text=True, timeout=120)
    if out.returncode != 0:
        fail("%s --frames 30: code %d, said %r" % (game, out.returncode, out.stderr))
    return out


def tree(path):
    found = set()
    for root, dirs, files in os.walk(path):
        for name in dirs + files:
            found.add(os.path.relpath(os.path.join(root, name), path))
    return found


def make_readonly(path):
    for root, dirs, files in os.walk(path):
        for name in files:
            p = os.path.join(root, name)
            os.chmod(p, os.stat(p).st_mode & ~(stat.S_IWUSR | stat.S_IWGRP | stat.S_IWOTH))
    for root, dirs, files in os.walk(path, topdown=False):
        for name in dirs:
            os.chmod(os.path.join(root, name), 0o555)
    os.chmod(path, 0o555)


def main():
    build, cmake = os.path.abspath(sys.argv[1]), sys.argv[2]
    work = tempfile.mkdtemp(prefix="zarnik-install-")
    os.chmod(work, 0o755)
    try:
        prefix = os.path.join(work, "prefix")
        out = subprocess.run([cmake, "--install", build, "--prefix", prefix],
                             capture_output=True, text=True, timeout=120)
        if out.returncode != 0:
            fail("cmake --install: %s" % out.stderr)

        installed = tree(prefix)
        for name in ("bin/zarnik", "share/zarnik/data.pak", "share/zarnik/data/music/track02.ogg",
                     "share/zarnik/data/logo/logo.avi", "share/applications/zarnik.desktop",
                     "share/icons/hicolor/256x256/apps/zarnik.png"):
            if name not in installed:
                fail("%s is not installed" % name)
        # Only what the game reads as loose files: the rest is in data.pak,
        # and no settings or scores of the build's own runs.
        loose = {n.split("/")[3] for n in installed if n.count("/") >= 3
                 and n.startswith("share/zarnik/data/")}
        if loose != {"clips", "logo", "music"}:
            fail("loose data installed: %r" % sorted(loose))

        # A read-only copy, run from elsewhere: the user data folder.
        readonly = os.path.join(work, "readonly")
        shutil.copytree(prefix, readonly, symlinks=True)
        make_readonly(readonly)
        before = tree(readonly)
        xdg, home, writable_xdg = (os.path.join(work, n) for n in ("xdg", "home", "xdg2"))
        for folder in (xdg, home, writable_xdg):
            os.mkdir(folder)
            os.chmod(folder, 0o777)
        game = os.path.join(readonly, "bin", "zarnik")
        run_game(game, work, {"XDG_DATA_HOME": xdg, "HOME": home})
        user = os.path.join(xdg, "zarnik")
        settings = os.path.join(user, "data", "settings")
        if not os.path.exists(settings) or os.path.getsize(settings) != 16:
            fail("no 16-byte settings in %s (found %r)" % (user, sorted(tree(xdg))))
        log = open(os.path.join(user, "Zarnik.log"), "rb").read()
        if ("Settings, scores and replays are kept in '%s'\r\n" % user).encode() not in log:
            fail("the log does not say where the files are: %r" % log)
        if tree(readonly) != before:
            fail("the read-only copy changed: %r" % sorted(tree(readonly) ^ before))
        if os.listdir(home):
            fail("HOME was used although XDG_DATA_HOME was set")
        # Nothing copied that isn't needed: the player's files only (the
        # options are written with their defaults, for the player to edit).
        extra = tree(user) - {"data", "data/settings", "data/options.script", "Zarnik.log"}
        if extra:
            fail("the first run wrote more than it needs: %r" % sorted(extra))

        # Without XDG_DATA_HOME: ~/.local/share/zarnik.
        run_game(game, work, {"HOME": home})
        if os.path.getsize(os.path.join(home, ".local/share/zarnik/data/settings")) != 16:
            fail("no settings under HOME/.local/share/zarnik")

        # A writable install keeps the player's files in its own folder.
        for root, dirs, files in os.walk(prefix):
            os.chmod(root, 0o777)
        run_game(os.path.join(prefix, "bin", "zarnik"), work, {"XDG_DATA_HOME": writable_xdg})
        if os.path.getsize(os.path.join(prefix, "share/zarnik/data/settings")) != 16:
            fail("a writable install did not keep its settings beside its data")
        if os.listdir(writable_xdg):
            fail("a writable install used the user data folder")

        # Without a display (and no dummy driver): one line that points to zarnik-sim.
        bare = {k: v for k, v in os.environ.items()
                if k not in ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER")}
        out = subprocess.run([os.path.join(prefix, "bin", "zarnik")], env=bare,
                             capture_output=True, text=True, timeout=60)
        lines = out.stderr.strip().splitlines()
        if out.returncode != 1 or len(lines) != 1 or "zarnik-sim" not in lines[0]:
            fail("without a display: code %d, said %r" % (out.returncode, out.stderr))
        print("install: passed")
    finally:
        for root, dirs, files in os.walk(work):
            os.chmod(root, 0o755)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
