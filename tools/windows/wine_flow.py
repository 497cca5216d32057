#!/usr/bin/env python3
"""The installer's whole flow as a Windows program, under Wine.

Builds both editions for Windows against the local release server, then runs
each scenario in a fresh Wine prefix and home folder under Xvfb, drives the
window with real X input and checks what Windows is left with: the files in
the install folder, the shell links, the registry, the log file, every
telemetry post, the launch of the product and its uninstaller.

Usage: wine_flow.py [--only NAME...] [--keep] [--no-build]
NERIX_WINSDK names the Windows SDK, as for tools/windows/build.sh.
Screenshots go to demo/screenshots-wine-<edition>/. Exits 0 when every check
of every scenario passed.
"""

import argparse
import hashlib
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, HERE)
import shell_link  # noqa: E402

PORTS = (47861, 47862, 47863)
TELEMETRY_PORT = 47862

EDITIONS = {
    # edition: (product word, display names by language, build flags)
    "default": ("corvane", {"zh": "Corvane", "en": "Corvanix"}, []),
    "green": ("quorbel", {"zh": "Quorbel", "en": "Corvanix2"}, ["-DGREEN_THEME=ON"]),
}
LOCALES = {"zh": "zh_CN.UTF-8", "en": "en_US.UTF-8"}
ANSI = {"zh": "gbk", "en": "cp1252"}
UNINSTALL_WORD = "卸载"
EMPTY_MD5 = "d41d8cd98f00b204e9800998ecf8427e"
QUESTION_TITLE = {"zh": "提示", "en": "Tip"}

# Window coordinates of the controls the flow presses (frame at 5,5).
INSTALL_BUTTON = (516, 568)
START_BUTTON = (517, 484)
MINIMISE = (923, 37)


def md5_hex(text):
    return hashlib.md5(text.encode("latin-1")).hexdigest()


def channel_signature(mode):
    return md5_hex("qalto58204913_" + ("normal" if mode == 1 else "qotab") + "_PirvOKa=")


class Failure(Exception):
    """A check that failed: ends its scenario."""


class Scenario:
    """One named run with its checks, reported the way ctest reports a test."""

    def __init__(self, name):
        self.name = name
        self.lines = []
        self.failed = False

    def check(self, ok, what, detail=""):
        self.lines.append(("ok  " if ok else "FAIL") + "  " + what + ("" if ok or not detail else ": " + detail))
        if not ok:
            self.failed = True
        return ok

    def require(self, ok, what, detail=""):
        if not self.check(ok, what, detail):
            raise Failure(what)


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


class Display:
    """An Xvfb screen and the X input and screenshots on it."""

    def __init__(self, work):
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
        found = self.xdotool("search", "--onlyvisible", "--name", name, check=False)
        return found.stdout.split()

    def wait_window(self, name, timeout=60):
        found = wait_until(lambda: self.windows(name), timeout, 0.2)
        return found[0] if found else None

    def click(self, window, x, y):
        self.xdotool("mousemove", "--window", window, str(x), str(y), "click", "1")

    def key(self, window, key):
        self.xdotool("windowfocus", "--sync", window, "key", key)

    def screenshot(self, window, path):
        # Without a compositor the shadow's margin is black: the frame alone.
        run(["import", "-display", self.number, "-window", window, path], env={**os.environ, **self.env},
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        run(["convert", path, "-shave", "5x5", "+repage", path])


class ReleaseServer:
    def __init__(self, work, packages, rate):
        self.log = os.path.join(work, "telemetry.jsonl")
        self.out = open(os.path.join(work, "server.out"), "w")
        self.process = subprocess.Popen(
            [sys.executable, os.path.join(ROOT, "tools", "release_server.py"), "--root", packages,
             *sum((["--port", str(p)] for p in PORTS), []), "--rate", str(rate), "--telemetry-log", self.log],
            stdout=self.out, stderr=subprocess.STDOUT)
        listening = wait_until(lambda: "listening" in open(self.out.name).read(), 10)
        if not listening:
            raise RuntimeError("the release server did not start: " + open(self.out.name).read())

    def close(self):
        self.process.terminate()
        self.process.wait()
        self.out.close()

    def clear(self):
        open(self.log, "w").close()

    def events(self):
        """(port, body) of every post so far, in arrival order."""
        if not os.path.exists(self.log):
            return []
        with open(self.log, encoding="utf-8") as f:
            return [(entry["port"], json.loads(entry["body"])) for entry in map(json.loads, f)]

    def names(self):
        return [body["btnId"] for _, body in self.events()]

    def wait_event(self, name, timeout=90):
        return wait_until(lambda: name in self.names(), timeout, 0.2)


class WinePrefix:
    """A fresh Wine prefix with a home folder of its own, as a new Windows account."""

    def __init__(self, work, name, lang, display, locales, overrides=""):
        self.base = os.path.join(work, name)
        self.home = os.path.join(self.base, "home")
        self.prefix = os.path.join(self.base, "prefix")
        os.makedirs(self.home)
        self.lang = lang
        self.display = display
        self.env = {
            **os.environ, **display.env,
            "HOME": self.home, "WINEPREFIX": self.prefix, "WINEDEBUG": "-all",
            # Wine's file names follow the host locale: without it, names
            # that are not ASCII cannot be made at all.
            "LANG": LOCALES[lang], "LC_ALL": LOCALES[lang], "LOCPATH": locales,
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "XDG_DATA_HOME": os.path.join(self.home, ".local", "share"),
            "XDG_CACHE_HOME": os.path.join(self.home, ".cache"),
            # No Mono or Gecko installer dialogs during the prefix's set-up.
            "WINEDLLOVERRIDES": "mscoree,mshtml=" + (";" + overrides if overrides else ""),
        }
        run(["wineboot", "--init"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        run(["wineserver", "--wait"], env=self.env)
        self.user = next(u for u in os.listdir(self.drive("C:/users")) if u != "Public")

    def close(self):
        subprocess.run(["wineserver", "--kill"], env=self.env, stderr=subprocess.DEVNULL)

    def drive(self, windows_path):
        """The host path of a C: path."""
        path = windows_path.replace("\\", "/")
        if not path[:2].upper() == "C:":
            raise ValueError(windows_path)
        return os.path.join(self.prefix, "drive_c", path[3:])

    def user_folder(self, *parts):
        return os.path.join(self.drive("C:/users/" + self.user), *parts)

    def start(self, program, *args, overrides=None):
        env = dict(self.env)
        if overrides:
            env["WINEDLLOVERRIDES"] += ";" + overrides
        return subprocess.Popen(["wine", program, *args], env=env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def reg_query(self, key):
        """Values of a key as {name: data}; None when the key is missing."""
        result = subprocess.run(["wine", "reg", "query", key], env=self.env, capture_output=True)
        if result.returncode != 0:
            return None
        values = {}
        for line in result.stdout.decode("utf-8", "replace").splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[1].startswith("REG_"):
                values[parts[0]] = parts[2] if len(parts) == 3 else ""
        return values


class Flow:
    def __init__(self, args, work):
        self.args = args
        self.work = work
        self.scenarios = []
        self.release = {}

    # --- preparation --------------------------------------------------

    def prepare(self):
        subprocess.run([os.path.join(ROOT, "tools", "install-deps.sh"), "windows", "wine"], check=True)
        self.locales = os.path.join(self.work, "locales")
        os.makedirs(self.locales)
        for locale in LOCALES.values():
            language = locale.split(".")[0]
            run(["localedef", "-i", language, "-f", "UTF-8", os.path.join(self.locales, locale)],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for edition, (_, _, flags) in EDITIONS.items():
            build = os.path.join(ROOT, "build", "windows-local-" + edition)
            if not self.args.no_build:
                env = {**os.environ, "NERIX_WIN_BUILD_DIR": build}
                run([os.path.join(HERE, "build.sh"), "-C", os.path.join(ROOT, "tools", "local-endpoints.cmake"),
                     *flags], env=env, stdout=subprocess.DEVNULL)
            self.release[edition] = os.path.join(build, "release", "nerixSetupOnline")
        programs = self.build_sample_programs()
        self.packages = os.path.join(self.work, "server")
        run([sys.executable, os.path.join(ROOT, "tools", "make_sample_packages.py"), "--payload-mb", "4",
             "--sign", os.path.join(ROOT, "tools", "demo-package-key.key"),
             "--windows-programs", programs, os.path.join(self.packages, "upload", "pc")], stdout=subprocess.DEVNULL)

    def build_sample_programs(self):
        """The sample product's programs as real Windows programs."""
        out = os.path.join(self.work, "programs")
        os.makedirs(out)
        flags = ["-std=c11", "-Wall", "-Wextra", "-Werror", "-O2", "-s", "-municode", "-mwindows"]
        for word, names, _ in EDITIONS.values():
            defines = ['-DPRODUCT_WORD=L"%s"' % word, '-DNAME_ZH=L"%s"' % names["zh"],
                       '-DNAME_EN=L"%s"' % names["en"]]
            run(["x86_64-w64-mingw32-gcc", *flags, *defines, os.path.join(HERE, "sample", "product.c"),
                 "-o", os.path.join(out, word + "MasterRecovery.exe"), "-lshell32"])
            run(["x86_64-w64-mingw32-gcc", *flags, *defines, os.path.join(HERE, "sample", "uninstaller.c"),
                 "-o", os.path.join(out, word + "MasterUninst.exe"), "-lshell32", "-ladvapi32"])
        self.window_probe_exe = os.path.join(self.work, "window_probe.exe")
        run(["x86_64-w64-mingw32-gcc", *flags[:-1], os.path.join(HERE, "probes", "window_probe.c"),
             "-o", self.window_probe_exe])
        return out

    # --- what an installation must leave ------------------------------

    def expected_files(self, edition, install_dir, channel):
        """Uninstall, Qt5Morvex.dll and Uninstall.list as the installer writes them."""
        word = EDITIONS[edition][0]
        package = os.path.join(self.work, "expected-" + edition)
        if not os.path.isdir(package):
            archive = os.path.join(self.packages, "upload", "pc", word + "Setupx64_min.7z")
            run(["7z", "x", "-y", "-o" + package, archive], stdout=subprocess.DEVNULL)

        def walk(folder, relative=""):
            # Each folder's subfolders (by name) before its own files.
            entries = sorted(os.listdir(folder))
            dirs = [e for e in entries if os.path.isdir(os.path.join(folder, e))]
            files = [e for e in entries if not os.path.isdir(os.path.join(folder, e))]
            for d in dirs:
                yield from walk(os.path.join(folder, d), relative + "/" + d)
            for f in files:
                yield relative + "/" + f

        manifest = [install_dir + p for p in walk(os.path.join(package, "Vantrel_x64Minimal"))]
        manifest += [install_dir + p for p in walk(self.release[edition]) if "nerixSetupOnline.exe" not in p]
        native = install_dir.replace("/", "\\")
        manifest += [install_dir + "/Uninstall.list", install_dir + "/Uninstall", native + "/Qt5Morvex.dll"]
        return {
            "Uninstall": ('rd/s/q "%s"' % native).encode("utf-8"),
            "Qt5Morvex.dll": ("%s,%s,%s" % (channel[0], channel_signature(channel[1]), channel[2])).encode("utf-8"),
            "Uninstall.list": "".join(entry + "," for entry in manifest).encode("utf-8"),
        }

    def check_installation(self, s, wine, edition, install_dir, channel):
        word, names, _ = EDITIONS[edition]
        name = names[wine.lang]
        native = install_dir.replace("/", "\\")
        folder = wine.drive(install_dir)
        for file, expected in self.expected_files(edition, install_dir, channel).items():
            path = os.path.join(folder, file)
            actual = open(path, "rb").read() if os.path.isfile(path) else None
            s.check(actual == expected, "%s as expected" % file, "got %r" % (actual[:300] if actual else actual))

        product = native + "\\" + word + "MasterRecovery.exe"
        uninstaller = native + "\\" + word + "MasterUninst.exe"
        programs = wine.user_folder("AppData", "Roaming", "Microsoft", "Windows", "Start Menu", "Programs", name)
        links = [(os.path.join(wine.user_folder("Desktop"), name + ".lnk"), product),
                 (os.path.join(programs, name + ".lnk"), product),
                 (os.path.join(programs, UNINSTALL_WORD + name + ".lnk"), uninstaller)]
        for path, target in links:
            what = "shell link " + os.path.relpath(path, wine.user_folder())
            try:
                link = shell_link.read(path, ANSI[wine.lang])
                s.check(link["target"].lower() == target.lower() and link["working_dir"].lower() == native.lower(),
                        what, "target %r, working folder %r" % (link["target"], link["working_dir"]))
            except (OSError, shell_link.ShellLinkError) as error:
                s.check(False, what, str(error))

        key = "HKLM\\Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name
        expected = {
            "DisplayIcon": native + "/" + word + "MasterRecovery.exe",
            "DisplayName": name,
            "DisplayVersion": "1.2.1",
            "Publisher": name,
            "UninstallString": '"%s/%sMasterUninst.exe"' % (native, word),
        }
        s.check(wine.reg_query(key) == expected, "uninstall entry " + key, repr(wine.reg_query(key)))

        log = wine.user_folder("AppData", "Local", "nerixSetupOnline", "cache", "install_vantrel.log")
        data = open(log, "rb").read() if os.path.isfile(log) else b""
        lines = data.split(b"\r\n")
        s.check(data.endswith(b"\r\n") and b"\n" not in b"".join(lines) and b"param>>>>>" in data,
                "log file %LOCALAPPDATA%\\nerixSetupOnline\\cache\\install_vantrel.log, CR LF line ends")

    def check_posts(self, s, server, names, channel):
        """Returns the pcId that every post carries."""
        events = server.events()
        s.check([body["btnId"] for _, body in events] == names, "telemetry events in order",
                repr([body["btnId"] for _, body in events]))
        s.check(all(port == TELEMETRY_PORT for port, _ in events), "telemetry to the production receiver")
        ids = {body["pcId"] for _, body in events}
        expected = self.machine_pc_id()
        s.check(len(ids) == 1 and EMPTY_MD5 not in ids and (expected is None or ids == {expected}),
                "every post carries the computer's pcId" + (" " + expected if expected else ""), repr(ids))
        # The first event leaves before the channel is known.
        channels = {(body["apkChannel"], body["phoneId"]) for _, body in events[1:]}
        s.check(channels == {(channel[0], channel[2])}, "apkChannel %s, phoneId %s" % (channel[0], channel[2]),
                repr(channels))
        return ids.pop() if ids else None

    def window_probe(self, wine):
        """"visible iconic foreground" of each installer window, as Windows sees it."""
        result = subprocess.run(["wine", self.window_probe_exe, "nerixSetupOnline"], env=wine.env, capture_output=True,
                                text=True)
        return result.stdout.split("\n")[:-1]

    @staticmethod
    def machine_pc_id():
        """What Windows reports without the query tool's UUID answer: the
        firmware table's UUID, as Windows prints it. Wine fills the table
        from the host's product UUID where it may read it, else from the
        host's machine-id. None where that cannot be told from outside."""
        if os.access("/sys/class/dmi/id/product_uuid", os.R_OK):
            return None
        try:
            raw = bytes.fromhex(open("/etc/machine-id").read().strip())
        except (OSError, ValueError):
            return None
        # The first three fields little-endian.
        ordered = raw[3::-1] + raw[5:3:-1] + raw[7:5:-1] + raw[8:]
        text = ordered.hex().upper()
        return md5_hex("-".join((text[:8], text[8:12], text[12:16], text[16:20], text[20:])))

    # --- scenarios ----------------------------------------------------

    def launch(self, s, wine, edition, process, window, display, install_dir):
        word = EDITIONS[edition][0]
        display.click(window, *START_BUTTON)
        try:
            code = process.wait(30)
        except subprocess.TimeoutExpired:
            code = None
        s.check(code == 0, "start immediately ends the installer with code 0", repr(code))
        marker = wine.user_folder("AppData", "Local", word + "-launched.txt")
        launched = wait_until(lambda: os.path.isfile(marker) and open(marker, encoding="utf-8").read(), 30)
        native = install_dir.replace("/", "\\")
        s.check(bool(launched) and ("exe=%s\\%sMasterRecovery.exe" % (native, word)).lower() in launched.lower(),
                "the product runs", repr(launched))

    def scenario_install(self, edition, lang, channel_arg, channel, uninstall_again=False, shots=False):
        s = Scenario("%s-%s" % (edition, lang))
        self.scenarios.append(s)
        started = time.monotonic()
        display, server = self.display, self.server
        server.clear()
        wine = WinePrefix(self.work, s.name, lang, display, self.locales)
        shot_dir = None
        if shots:
            shot_dir = os.path.join(ROOT, "demo", "screenshots-wine-" + edition)
            shutil.rmtree(shot_dir, ignore_errors=True)
            os.makedirs(shot_dir)
        try:
            installer = os.path.join(self.release[edition], "nerixSetupOnline.exe")
            args = [channel_arg] if channel_arg else []
            process = wine.start(installer, *args)
            window = display.wait_window("^nerixSetupOnline$")
            s.require(window is not None, "the window appears")
            time.sleep(1)
            if shot_dir:
                display.screenshot(window, os.path.join(shot_dir, "1-location.png"))

            # A second start hands over to the first and ends. Without a
            # window manager only Windows' own state shows the minimised window.
            display.click(window, *MINIMISE)
            s.require(wait_until(lambda: self.window_probe(wine) == ["1 1 1"], 10), "minimise minimises",
                      repr(self.window_probe(wine)))
            second = wine.start(installer)
            try:
                second_code = second.wait(30)
            except subprocess.TimeoutExpired:
                second.kill()
                second_code = None
            s.check(second_code == 0, "a second start ends with code 0", repr(second_code))
            s.check(wait_until(lambda: self.window_probe(wine) == ["1 0 1"], 10),
                    "a second start restores and raises the first window", repr(self.window_probe(wine)))

            display.click(window, *INSTALL_BUTTON)
            if shot_dir:
                time.sleep(1.2)
                display.screenshot(window, os.path.join(shot_dir, "2-progress.png"))
            wait_until(lambda: any(n in ("pc-install-success",) or "failedcode" in n for n in server.names()), 120)
            s.require("pc-install-success" in server.names(), "the installation succeeds", repr(server.names()))
            time.sleep(0.5)
            if shot_dir:
                display.screenshot(window, os.path.join(shot_dir, "3-finished.png"))

            install_dir = "C:/Program Files/%sMasterRecovery" % EDITIONS[edition][0]
            self.check_installation(s, wine, edition, install_dir, channel)
            self.launch(s, wine, edition, process, window, display, install_dir)
            pc_id = self.check_posts(s, server, ["pc-install-show", "pc-install-min", "pc-install-go", "pc-load-ok",
                                                 "pc-install-success", "pc-install-setup"], channel)
            if uninstall_again:
                self.uninstall_on_next_run(s, wine, edition, install_dir, pc_id)
        except Failure:
            pass
        finally:
            wine.close()
            if not self.args.keep:
                shutil.rmtree(wine.base, ignore_errors=True)
        s.seconds = time.monotonic() - started

    def uninstall_on_next_run(self, s, wine, edition, install_dir, pc_id):
        """The next start finds the installation and runs its uninstaller, and
        reports the same computer with the query tool gone."""
        word, names, _ = EDITIONS[edition]
        self.server.clear()
        installer = os.path.join(self.release[edition], "nerixSetupOnline.exe")
        process = wine.start(installer, overrides="wmic.exe=d")
        question = self.display.wait_window("^%s$" % QUESTION_TITLE[wine.lang])
        s.require(question is not None, "the next start asks to uninstall")
        self.display.key(question, "Return")
        window = self.display.wait_window("^nerixSetupOnline$")
        s.require(window is not None, "the window appears after the uninstaller")
        marker = wine.user_folder("AppData", "Local", word + "-uninstalled.txt")
        s.check(os.path.isfile(marker), "the uninstaller ran")
        folder = wine.drive(install_dir)
        s.check(not os.path.exists(os.path.join(folder, "Uninstall.list")), "the installed files are gone")
        key = "HKLM\\Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + names[wine.lang]
        s.check(wine.reg_query(key) is None, "the uninstall entry is gone")
        s.check(not os.path.exists(os.path.join(wine.user_folder("Desktop"), names[wine.lang] + ".lnk")),
                "the desktop link is gone")
        # The close box, then Yes.
        self.display.click(window, 975, 37)
        box = self.display.wait_window("^%s$" % QUESTION_TITLE[wine.lang], 10)
        s.require(box is not None, "closing asks first")
        self.display.key(box, "Return")
        try:
            code = process.wait(30)
        except subprocess.TimeoutExpired:
            code = None
        s.check(code == 0, "closing ends the installer with code 0", repr(code))
        ids = {body["pcId"] for _, body in self.server.events()}
        s.check(ids == {pc_id}, "the same pcId without wmic", repr(ids))

    # --- the whole run ------------------------------------------------

    def main(self):
        self.prepare()
        self.display = Display(self.work)
        self.server = ReleaseServer(self.work, self.packages, rate=2 * 1024 * 1024)
        default_channel = ("Default", 1, "0000000000000000")
        spring = ("春季", 1, "a1b2c3d4e5f60718")
        plan = {
            "default-zh": lambda: self.scenario_install("default", "zh", "promo_春季-a1b2c3d4e5f60718", spring,
                                                        uninstall_again=True, shots=True),
            "default-en": lambda: self.scenario_install("default", "en", None, default_channel),
            "green-zh": lambda: self.scenario_install("green", "zh", None, default_channel, shots=True),
            "green-en": lambda: self.scenario_install("green", "en", "promo_春季-a1b2c3d4e5f60718", spring),
        }
        try:
            for name, scenario in plan.items():
                if self.args.only and name not in self.args.only:
                    continue
                scenario()
                s = self.scenarios[-1]
                print("%-28s %s  %5.1f s" % (s.name, "Failed" if s.failed else "Passed", s.seconds), flush=True)
                for line in s.lines:
                    if line.startswith("FAIL") or self.args.verbose:
                        print("    " + line)
        finally:
            self.server.close()
            self.display.close()
        failed = [s.name for s in self.scenarios if s.failed]
        print("%d%% scenarios passed, %d failed out of %d" % (
            100 * (len(self.scenarios) - len(failed)) // max(1, len(self.scenarios)), len(failed),
            len(self.scenarios)))
        return 1 if failed or not self.scenarios else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--only", nargs="*", help="run only these scenarios")
    parser.add_argument("--keep", action="store_true", help="keep the work folder and Wine prefixes")
    parser.add_argument("--no-build", action="store_true", help="use the builds already in build/windows-local-*")
    parser.add_argument("--verbose", action="store_true", help="list passed checks too")
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix="nerix-wine-")
    try:
        return Flow(args, work).main()
    finally:
        if args.keep:
            print("work folder: " + work)
        else:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
