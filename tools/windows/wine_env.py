"""What the Wine run stands on: an X screen, the local release server, fresh
Wine prefixes (a new Windows account each), and a scenario's checks."""

import json
import os
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
NOBODY = 65534


def run(command, **kwargs):
    return subprocess.run(command, check=True, **kwargs)


def wait_until(predicate, timeout, step=0.1):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(step)
    return predicate()


class Failure(Exception):
    """A check that failed and ends its scenario."""


class Scenario:
    """One named run with its checks, reported the way ctest reports a test."""

    def __init__(self, name):
        self.name = name
        self.lines = []
        self.failed = False
        self.skipped = None
        self.seconds = 0.0

    def check(self, ok, what, detail=""):
        self.lines.append(("ok  " if ok else "FAIL") + "  " + what + ("" if ok or not detail else ": " + detail))
        self.failed = self.failed or not ok
        return ok

    def require(self, ok, what, detail=""):
        if not self.check(ok, what, detail):
            raise Failure(what)


class Display:
    """An Xvfb screen, and real X input and screenshots on it."""

    def __init__(self):
        self.number = ":%d" % (200 + os.getpid() % 300)
        self.process = subprocess.Popen(["Xvfb", self.number, "-screen", "0", "1600x1000x24", "-nolisten", "tcp"],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.env = {"DISPLAY": self.number}
        if not wait_until(lambda: self.xdotool("getmouselocation", check=False).returncode == 0, 10):
            raise RuntimeError("Xvfb did not start")

    def close(self):
        self.process.terminate()
        self.process.wait()

    def xdotool(self, *args, check=True):
        return subprocess.run(["xdotool", *args], env={**os.environ, **self.env}, capture_output=True, text=True,
                              check=check)

    def windows(self, name):
        return self.xdotool("search", "--onlyvisible", "--name", name, check=False).stdout.split()

    def wait_window(self, name, timeout=60):
        found = wait_until(lambda: self.windows(name), timeout, 0.2)
        return found[0] if found else None

    def click(self, window, x, y):
        self.xdotool("mousemove", "--window", window, str(x), str(y), "click", "1")

    def key(self, window, key):
        self.xdotool("windowfocus", "--sync", window, "key", key)

    def screenshot(self, window, path):
        run(["import", "-display", self.number, "-window", window, path], env={**os.environ, **self.env},
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Without a compositor the shadow's margin is black: the frame alone.
        run(["convert", path, "-shave", "5x5", "+repage", path])


class ReleaseServer:
    """tools/release_server.py on fixed ports, its telemetry in a file."""

    def __init__(self, work, name, root, ports, rate=0, tls=False, redirect_uploads=None):
        self.folder = os.path.join(work, "server-" + name)
        os.makedirs(self.folder)
        self.log = os.path.join(self.folder, "telemetry.jsonl")
        self.out = open(os.path.join(self.folder, "server.out"), "w")
        command = [sys.executable, os.path.join(ROOT, "tools", "release_server.py"), "--root", root,
                   "--rate", str(rate), "--telemetry-log", self.log]
        for port in ports:
            command += ["--port", str(port)]
        if tls:
            command += ["--tls-dir", self.folder]
        if redirect_uploads:
            command += ["--redirect-uploads", redirect_uploads]
        self.process = subprocess.Popen(command, stdout=self.out, stderr=subprocess.STDOUT)
        if not wait_until(lambda: "listening" in open(self.out.name).read(), 20):
            raise RuntimeError("the release server did not start: " + open(self.out.name).read())
        self.certificate = os.path.join(self.folder, "cert.pem") if tls else None

    def close(self):
        self.process.terminate()
        self.process.wait()
        self.out.close()

    def events(self):
        """(port, body) of every post so far, in arrival order."""
        if not os.path.exists(self.log):
            return []
        with open(self.log, encoding="utf-8") as f:
            return [(entry["port"], json.loads(entry["body"])) for entry in map(json.loads, f)]

    def names(self):
        return [body["btnId"] for _, body in self.events()]

    def wait_outcome(self, timeout=120):
        """The first success or failure event, once one has arrived."""
        def outcome():
            return next((n for n in self.names() if n == "pc-install-success" or "failedcode" in n), None)
        return wait_until(outcome, timeout, 0.2)


class WinePrefix:
    """A fresh Wine prefix with a home folder of its own: a new Windows
    account. uid: run as that unprivileged user instead of the caller."""

    def __init__(self, work, name, lang, locale, display, locales, uid=None):
        self.base = os.path.join(work, name)
        self.home = os.path.join(self.base, "home")
        self.prefix = os.path.join(self.base, "prefix")
        os.makedirs(self.home)
        self.uid = uid
        if uid is not None:
            shutil.chown(self.base, uid, uid)
            shutil.chown(self.home, uid, uid)
        self.lang = lang
        self.env = {
            **os.environ, **display.env,
            "HOME": self.home, "WINEPREFIX": self.prefix, "WINEDEBUG": "-all",
            # Wine names host files in the host locale: without it, names
            # that are not ASCII cannot be made at all.
            "LANG": locale, "LC_ALL": locale, "LOCPATH": locales,
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "XDG_DATA_HOME": os.path.join(self.home, ".local", "share"),
            "XDG_CACHE_HOME": os.path.join(self.home, ".cache"),
            # No Mono or Gecko installer dialogs while the prefix is set up.
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
        }
        run(self.command(["wineboot", "--init"]), env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        run(self.command(["wineserver", "--wait"]), env=self.env)
        self.user = next(u for u in os.listdir(self.drive("C:/users")) if u != "Public")

    def command(self, command):
        if self.uid is None:
            return command
        return ["setpriv", "--reuid=%d" % self.uid, "--regid=%d" % self.uid, "--clear-groups", *command]

    def close(self):
        subprocess.run(self.command(["wineserver", "--kill"]), env=self.env, stderr=subprocess.DEVNULL)

    def drive(self, windows_path):
        """The host path of a C: path."""
        path = windows_path.replace("\\", "/")
        if path[:2].upper() != "C:":
            raise ValueError(windows_path)
        return os.path.join(self.prefix, "drive_c", path[3:])

    def user_folder(self, *parts):
        return os.path.join(self.drive("C:/users/" + self.user), *parts)

    def start(self, program, *args, overrides=None, cwd=None, search_path=None):
        env = dict(self.env)
        if overrides:
            env["WINEDLLOVERRIDES"] += ";" + overrides
        if search_path:
            env["WINEPATH"] = search_path
        return subprocess.Popen(self.command(["wine", program, *args]), env=env, cwd=cwd,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def output(self, program, *args, **kwargs):
        return subprocess.run(self.command(["wine", program, *args]), env={**self.env, **kwargs.pop("env", {})},
                              capture_output=True, text=True, **kwargs)

    def reg_query(self, key):
        """Values of a key as {name: data}; None when the key is missing."""
        result = subprocess.run(self.command(["wine", "reg", "query", key]), env=self.env, capture_output=True)
        if result.returncode != 0:
            return None
        values = {}
        for line in result.stdout.decode("utf-8", "replace").splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[1].startswith("REG_"):
                values[parts[0]] = parts[2] if len(parts) == 3 else ""
        return values


def wait_process(process, timeout):
    try:
        return process.wait(timeout)
    except subprocess.TimeoutExpired:
        return None
