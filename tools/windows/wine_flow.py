#!/usr/bin/env python3
"""The installer's whole flow as a Windows program, under Wine.

Builds both editions for Windows against the local release server, signed
with a throw-away certificate, then runs each scenario in a fresh Wine prefix
and home folder under Xvfb: the signed setup.exe unpacks the release into
%TEMP% and starts the installer, whose window is driven with real X input;
then the run checks what Windows is left with: the files in
the install folder, the shell links, the registry, the log file, every
telemetry post, the launch of the product and its uninstaller; then the
faults a current Windows shows: a standard user who may not write to
Program Files, a package over https, a missing or planted 7z.exe, a logout
during the install, and the platform layer's own checks. The setup program
on its own: the command line passed on byte for byte, the exit code, its
temporary folder removed, and the Authenticode signatures of it and of every
program inside it.

Usage: wine_flow.py [--only NAME...] [--keep] [--no-build] [--verbose]
NERIX_WINSDK names the Windows SDK, as for tools/windows/build.sh.
Screenshots go to demo/screenshots-wine-<edition>/. Exits 0 when every check
of every scenario passed.
"""

import argparse
import glob
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import shell_link  # noqa: E402
import signing  # noqa: E402
from wine_env import (NOBODY, ROOT, Display, Failure, ReleaseServer, Scenario, WinePrefix, run,  # noqa: E402
                      wait_process, wait_until)

# The fixed local ports (tools/local-ports, NAME=port lines).
with open(os.path.join(ROOT, "tools", "local-ports")) as ports:
    LOCAL_PORTS = {k: int(v) for k, v in (line.strip().split("=") for line in ports if line[:1].isalpha())}
PORTS = (LOCAL_PORTS["PACKAGE_PORT"], LOCAL_PORTS["TELEMETRY_PORT"], LOCAL_PORTS["TELEMETRY_TEST_PORT"])
TLS_PORT = LOCAL_PORTS["TLS_PORT"]
TELEMETRY_PORT = LOCAL_PORTS["TELEMETRY_PORT"]

EDITIONS = {
    # edition: (product word, display names by language, build flags)
    "default": ("corvane", {"zh": "Corvane", "en": "Corvanix"}, ["-DNERIX_BUILD_WINE_TESTS=ON"]),
    "green": ("quorbel", {"zh": "Quorbel", "en": "Corvanix2"}, ["-DGREEN_THEME=ON"]),
}
LOCALES = {"zh": "zh_CN.UTF-8", "en": "en_US.UTF-8"}
ANSI = {"zh": "gbk", "en": "cp1252"}
QUESTION_TITLE = {"zh": "提示", "en": "Tip"}
UNINSTALL_WORD = "卸载"
EMPTY_MD5 = "d41d8cd98f00b204e9800998ecf8427e"
UNINSTALL_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
MACHINE_KEY = "HKLM\\Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
USER_KEY = "HKCU\\" + UNINSTALL_KEY

# Window coordinates of the controls the flow presses (the frame at 5,5).
INSTALL_BUTTON = (516, 568)
START_BUTTON = (517, 484)
RETRY_BUTTON = (975, 700)
MINIMISE = (923, 37)
CLOSE = (975, 37)


def md5_hex(text):
    return hashlib.md5(text.encode("latin-1")).hexdigest()


def channel_signature(mode):
    return md5_hex("qalto58204913_" + ("normal" if mode == 1 else "qotab") + "_PirvOKa=")


def windows_path(host_path):
    """The Z: path under which Wine shows a host path."""
    return "Z:" + host_path.replace("/", "\\")


def firmware_pc_id():
    """What Windows reports without the query tool's UUID answer: the
    firmware table's UUID as Windows prints it. Wine fills the table from
    the host's product UUID where it may read it, else from the host's
    machine-id. None where that cannot be told from outside."""
    if os.access("/sys/class/dmi/id/product_uuid", os.R_OK):
        return None
    try:
        raw = bytes.fromhex(open("/etc/machine-id").read().strip())
    except (OSError, ValueError):
        return None
    # The first three fields little-endian.
    text = (raw[3::-1] + raw[5:3:-1] + raw[7:5:-1] + raw[8:]).hex().upper()
    return md5_hex("-".join((text[:8], text[8:12], text[12:16], text[16:20], text[20:])))


class Flow:
    def __init__(self, args, work):
        self.args = args
        self.work = work
        self.scenarios = []
        self.release = {}
        self.setup = {}

    # --- preparation --------------------------------------------------

    def prepare(self):
        run([os.path.join(ROOT, "tools", "install-deps.sh"), "windows", "wine"])
        self.locales = os.path.join(self.work, "locales")
        os.makedirs(self.locales)
        for locale in LOCALES.values():
            run(["localedef", "-i", locale.split(".")[0], "-f", "UTF-8", os.path.join(self.locales, locale)],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Kept beside the builds, so that --no-build still verifies them.
        certificate = os.path.join(ROOT, "build", "wine-test-certificate")
        if not self.args.no_build:
            shutil.rmtree(certificate, ignore_errors=True)
            signing.make_test_certificate(certificate)
        self.sign_env, self.ca = signing.test_certificate(certificate)
        for edition, (_, _, flags) in EDITIONS.items():
            build = os.path.join(ROOT, "build", "windows-local-" + edition)
            if not self.args.no_build:
                run([os.path.join(HERE, "build.sh"), "-C", os.path.join(ROOT, "tools", "local-endpoints.cmake"),
                     *flags], env={**os.environ, "NERIX_WIN_BUILD_DIR": build, **self.sign_env},
                    stdout=subprocess.DEVNULL)
            self.release[edition] = os.path.join(build, "release", "nerixSetupOnline")
            self.setup[edition] = glob.glob(os.path.join(build, "release", "*-%s-setup.exe" % edition))[0]
        self.stub = os.path.join(ROOT, "build", "windows-local-default", "setup", "sfx.exe")
        self.platform_checks = os.path.join(ROOT, "build", "windows-local-default", "bin", "test_platform_win.exe")
        self.programs = self.build_programs()
        self.packages = {}
        for name, options in (("normal", ["--payload-mb", "4"]), ("slow", ["--payload-mb", "3", "--slow"])):
            self.packages[name] = os.path.join(self.work, "packages-" + name)
            run([sys.executable, os.path.join(ROOT, "tools", "make_sample_packages.py"), *options,
                 "--sign", os.path.join(ROOT, "tools", "demo-package-key.key"),
                 "--windows-programs", self.programs, os.path.join(self.packages[name], "upload", "pc")],
                stdout=subprocess.DEVNULL)
        # Others read what the standard user's run needs.
        os.chmod(self.work, 0o755)

    def build_programs(self):
        """The sample product's programs as real Windows programs, a
        planted 7z.exe, and the probe that asks Windows about windows."""
        out = os.path.join(self.work, "programs")
        os.makedirs(out)
        flags = ["-std=c11", "-Wall", "-Wextra", "-Werror", "-O2", "-s", "-municode"]
        cc = "x86_64-w64-mingw32-gcc"

        def product(word, output, names=None, defines=()):
            defines = ['-DPRODUCT_WORD=L"%s"' % word, *defines]
            if names:
                defines += ['-DNAME_ZH=L"%s"' % names["zh"], '-DNAME_EN=L"%s"' % names["en"]]
                run([cc, *flags, "-mwindows", *defines, os.path.join(HERE, "sample", "uninstaller.c"),
                     "-o", os.path.join(out, word + "MasterUninst.exe"), "-lshell32", "-ladvapi32"])
            run([cc, *flags, "-mwindows", *defines, os.path.join(HERE, "sample", "product.c"), "-o", output,
                 "-lshell32"])

        for word, names, _ in EDITIONS.values():
            product(word, os.path.join(out, word + "MasterRecovery.exe"), names)
        self.planted = os.path.join(self.work, "planted")
        os.makedirs(self.planted)
        product("planted", os.path.join(self.planted, "7z.exe"))
        # What the setup program starts in the setup scenario, with 7z.exe beside it.
        self.probe = os.path.join(self.work, "probe")
        os.makedirs(self.probe)
        product("probe", os.path.join(self.probe, "nerixSetupOnline.exe"), defines=["-DEXIT_CODE=7"])
        shutil.copy(os.path.join(self.planted, "7z.exe"), self.probe)
        self.window_probe_exe = os.path.join(self.work, "window_probe.exe")
        run([cc, *flags, os.path.join(HERE, "probes", "window_probe.c"), "-o", self.window_probe_exe])
        return out

    def trust_test_certificate(self, certificate):
        """Windows trusts the local TLS server's certificate the way a
        company's own CA is trusted, through the system store: Wine's
        crypt32 reads the host's CA bundle, replaced here, in this run's own
        mount namespace, by one that also holds the test certificate."""
        bundle = os.path.join(self.work, "ca-bundle.crt")
        with open(bundle, "wb") as out:
            out.write(open("/etc/ssl/certs/ca-certificates.crt", "rb").read())
            out.write(open(certificate, "rb").read())
        run(["mount", "--bind", bundle, "/etc/ssl/certs/ca-certificates.crt"])

    # --- what an installation must leave ------------------------------

    def expected_files(self, edition, install_dir, channel):
        """Uninstall, Qt5Morvex.dll and Uninstall.list as the installer writes them."""
        word = EDITIONS[edition][0]
        package = os.path.join(self.work, "expected-" + edition)
        if not os.path.isdir(package):
            archive = os.path.join(self.packages["normal"], "upload", "pc", word + "Setupx64_min.7z")
            run(["7z", "x", "-y", "-o" + package, archive], stdout=subprocess.DEVNULL)

        def walk(folder, relative=""):
            # Each folder's subfolders (by name) before its own files.
            entries = sorted(os.listdir(folder))
            for d in (e for e in entries if os.path.isdir(os.path.join(folder, e))):
                yield from walk(os.path.join(folder, d), relative + "/" + d)
            for f in (e for e in entries if not os.path.isdir(os.path.join(folder, e))):
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
        for file, expected in self.expected_files(edition, install_dir, channel).items():
            path = os.path.join(wine.drive(install_dir), file)
            actual = open(path, "rb").read() if os.path.isfile(path) else None
            s.check(actual == expected, "%s as expected" % file, "got %r" % (actual[:300] if actual else actual))

        product = native + "\\" + word + "MasterRecovery.exe"
        uninstaller = native + "\\" + word + "MasterUninst.exe"
        programs = wine.user_folder("AppData", "Roaming", "Microsoft", "Windows", "Start Menu", "Programs", name)
        for path, target in ((os.path.join(wine.user_folder("Desktop"), name + ".lnk"), product),
                             (os.path.join(programs, name + ".lnk"), product),
                             (os.path.join(programs, UNINSTALL_WORD + name + ".lnk"), uninstaller)):
            what = "shell link " + os.path.relpath(path, wine.user_folder())
            try:
                link = shell_link.read(path, ANSI[wine.lang])
                s.check(link["target"].lower() == target.lower() and link["working_dir"].lower() == native.lower(),
                        what, "target %r, working folder %r" % (link["target"], link["working_dir"]))
            except (OSError, shell_link.ShellLinkError) as error:
                s.check(False, what, str(error))

        expected = {
            "DisplayIcon": native + "/" + word + "MasterRecovery.exe",
            "DisplayName": name,
            "DisplayVersion": "1.2.1",
            "Publisher": name,
            # Quoted where the path holds a space, as Windows expects.
            "UninstallString": ('"%s"' if " " in native else "%s") % ("%s/%sMasterUninst.exe" % (native, word)),
        }
        # The machine's list, or the user's where the machine's is closed.
        found = {key: wine.reg_query(key + name) for key in (MACHINE_KEY, USER_KEY)}
        where = next((key for key, values in found.items() if values == expected), None)
        s.check(where is not None, "uninstall entry " + (where or MACHINE_KEY) + name, repr(found))

        log = wine.user_folder("AppData", "Local", "nerixSetupOnline", "cache", "install_vantrel.log")
        data = open(log, "rb").read() if os.path.isfile(log) else b""
        s.check(data.endswith(b"\r\n") and b"\n" not in data.replace(b"\r\n", b"") and b"param>>>>>" in data,
                "log file %LOCALAPPDATA%\\nerixSetupOnline\\cache\\install_vantrel.log, CR LF line ends")

    def check_posts(self, s, server, names, channel):
        """Returns the pcId that every post carries."""
        events = server.events()
        s.check([body["btnId"] for _, body in events] == names, "telemetry events in order",
                repr([body["btnId"] for _, body in events]))
        s.check(all(port == TELEMETRY_PORT for port, _ in events), "telemetry to the production receiver")
        ids = {body["pcId"] for _, body in events}
        expected = firmware_pc_id()
        s.check(len(ids) == 1 and EMPTY_MD5 not in ids and (expected is None or ids == {expected}),
                "every post carries the computer's pcId" + (" " + expected if expected else ""), repr(ids))
        # The first event leaves before the channel is known.
        channels = {(body["apkChannel"], body["phoneId"]) for _, body in events[1:]}
        s.check(channels == {(channel[0], channel[2])}, "apkChannel %s, phoneId %s" % (channel[0], channel[2]),
                repr(channels))
        return ids.pop() if ids else None

    def window_state(self, wine):
        """"visible iconic foreground" of each installer window, as Windows sees it."""
        return wine.output(self.window_probe_exe, "nerixSetupOnline").stdout.split("\n")[:-1]

    def unpacked(self, wine):
        """The setup programs' folders in the user's %TEMP%."""
        temp = wine.user_folder("Temp")
        return sorted(n for n in os.listdir(temp) if n.startswith("7z")) if os.path.isdir(temp) else []

    def log_text(self, wine):
        path = wine.user_folder("AppData", "Local", "nerixSetupOnline", "cache", "install_vantrel.log")
        return open(path, "rb").read().decode(ANSI[wine.lang], "replace") if os.path.isfile(path) else ""

    # --- steps shared by the scenarios ---------------------------------

    def start_window(self, s, wine, installer, args=(), **kwargs):
        process = wine.start(installer, *args, **kwargs)
        window = self.display.wait_window("^nerixSetupOnline$")
        s.require(window is not None, "the window appears")
        time.sleep(1)
        return process, window

    def install(self, s, server, window, shots=None):
        self.display.click(window, *INSTALL_BUTTON)
        if shots:
            time.sleep(1.2)
            self.display.screenshot(window, os.path.join(shots, "2-progress.png"))
        outcome = server.wait_outcome()
        s.require(outcome == "pc-install-success", "the installation succeeds", repr(server.names()))
        time.sleep(0.5)
        if shots:
            self.display.screenshot(window, os.path.join(shots, "3-finished.png"))

    def launch(self, s, wine, edition, process, window, install_dir):
        word = EDITIONS[edition][0]
        self.display.click(window, *START_BUTTON)
        code = wait_process(process, 30)
        s.check(code == 0, "start immediately ends the installer, and setup.exe, with code 0", repr(code))
        marker = wine.user_folder("AppData", "Local", word + "-launched.txt")
        launched = wait_until(lambda: os.path.isfile(marker) and open(marker, encoding="utf-8").read(), 30) or ""
        native = install_dir.replace("/", "\\").lower()
        s.check(("exe=%s\\%smasterrecovery.exe" % (native, word)) in launched.lower(), "the product runs",
                repr(launched))
        s.check(("cwd=" + native) in launched.lower().splitlines(), "in its own folder as its working directory",
                repr(launched))

    def scenario(self, name, body, lang="en", uid=None, needs_root=False):
        s = Scenario(name)
        self.scenarios.append(s)
        if needs_root and os.geteuid() != 0:
            s.skipped = "needs root, for a private mount namespace and another user"
            return
        started = time.monotonic()
        wine = WinePrefix(self.work, name, lang, LOCALES[lang], self.display, self.locales, uid)
        try:
            body(s, wine)
        except Failure:
            pass
        finally:
            wine.close()
            if not self.args.keep:
                shutil.rmtree(wine.base, ignore_errors=True)
            s.seconds = time.monotonic() - started

    # --- scenarios ----------------------------------------------------

    def installs(self, edition, channel_arg, channel, uninstall_again=False, shots=False, folder=None):
        """The whole flow with the edition's setup program, started from
        its build folder or a copy in folder (a C: path)."""
        def body(s, wine):
            server = ReleaseServer(self.work, s.name, self.packages["normal"], PORTS, rate=2 * 1024 * 1024)
            try:
                installer = self.setup[edition]
                if folder:
                    os.makedirs(wine.drive(folder))
                    installer = shutil.copy(installer, wine.drive(folder))
                self.whole_flow(s, wine, server, edition, installer, channel_arg, channel, uninstall_again, shots)
            finally:
                server.close()
        return body

    def whole_flow(self, s, wine, server, edition, installer, channel_arg, channel, uninstall_again, shots):
        shot_dir = None
        if shots:
            shot_dir = os.path.join(ROOT, "demo", "screenshots-wine-" + edition)
            shutil.rmtree(shot_dir, ignore_errors=True)
            os.makedirs(shot_dir)
        process, window = self.start_window(s, wine, installer, [channel_arg] if channel_arg else [])
        if shot_dir:
            self.display.screenshot(window, os.path.join(shot_dir, "1-location.png"))

        # A second start hands over to the first and ends. Without a window
        # manager only Windows' own state shows the minimised window.
        self.display.click(window, *MINIMISE)
        s.require(wait_until(lambda: self.window_state(wine) == ["1 1 1"], 10), "minimise minimises",
                  repr(self.window_state(wine)))
        second = wine.start(installer)
        s.check(wait_process(second, 30) == 0, "a second start ends with code 0")
        s.check(wait_until(lambda: self.window_state(wine) == ["1 0 1"], 10),
                "a second start restores and raises the first window", repr(self.window_state(wine)))
        s.check(len(self.unpacked(wine)) == 1, "the second setup unpacked into a folder of its own and removed it",
                repr(self.unpacked(wine)))

        self.install(s, server, window, shot_dir)
        install_dir = "C:/Program Files/%sMasterRecovery" % EDITIONS[edition][0]
        self.check_installation(s, wine, edition, install_dir, channel)
        self.launch(s, wine, edition, process, window, install_dir)
        s.check(self.unpacked(wine) == [], "setup.exe removed its temporary folder", repr(self.unpacked(wine)))
        pc_id = self.check_posts(s, server, ["pc-install-show", "pc-install-min", "pc-install-go", "pc-load-ok",
                                             "pc-install-success", "pc-install-setup"], channel)
        if uninstall_again:
            self.uninstall_on_next_run(s, wine, server, edition, install_dir, pc_id)

    def uninstall_on_next_run(self, s, wine, server, edition, install_dir, pc_id):
        """The next start finds the installation and runs its uninstaller, and
        reports the same computer with the query tool gone."""
        word, names, _ = EDITIONS[edition]
        posts = len(server.events())
        process = wine.start(self.setup[edition], overrides="wmic.exe=d")
        question = self.display.wait_window("^%s$" % QUESTION_TITLE[wine.lang])
        s.require(question is not None, "the next start asks to uninstall")
        self.display.key(question, "Return")
        window = self.display.wait_window("^nerixSetupOnline$")
        s.require(window is not None, "the window appears after the uninstaller")
        s.check(os.path.isfile(wine.user_folder("AppData", "Local", word + "-uninstalled.txt")),
                "the uninstaller ran")
        s.check(not os.path.exists(os.path.join(wine.drive(install_dir), "Uninstall.list")),
                "the installed files are gone")
        s.check(wine.reg_query(MACHINE_KEY + names[wine.lang]) is None, "the uninstall entry is gone")
        s.check(not os.path.exists(os.path.join(wine.user_folder("Desktop"), names[wine.lang] + ".lnk")),
                "the desktop link is gone")
        self.display.click(window, *CLOSE)
        box = self.display.wait_window("^%s$" % QUESTION_TITLE[wine.lang], 10)
        s.require(box is not None, "closing asks first")
        self.display.key(box, "Return")
        s.check(wait_process(process, 30) == 0, "closing ends the installer with code 0")
        ids = {body["pcId"] for _, body in server.events()[posts:]}
        s.check(ids == {pc_id}, "the same pcId without wmic", repr(ids))

    def standard_user(self, s, wine):
        """A double-clicked installer under UAC: a user who may not write to
        Program Files gets the user's own programs folder."""
        for folder in ("Program Files", "Program Files (x86)"):
            os.chmod(wine.drive("C:/" + folder), 0o555)
        server = ReleaseServer(self.work, s.name, self.packages["normal"], PORTS)
        try:
            process, window = self.start_window(s, wine, self.setup["default"])
            self.install(s, server, window)
            install_dir = "C:/users/%s/AppData/Local/Programs/corvaneMasterRecovery" % wine.user
            s.check(os.path.isfile(os.path.join(wine.drive(install_dir), "Uninstall.list")),
                    "installed in %LOCALAPPDATA%\\Programs")
            s.check(not os.path.exists(wine.drive("C:/Program Files/corvaneMasterRecovery")),
                    "nothing in Program Files")
            channel = ("Default", 1, "0000000000000000")
            self.check_installation(s, wine, "default", install_dir, channel)
            self.launch(s, wine, "default", process, window, install_dir)
        finally:
            server.close()

    def faults(self, s, wine):
        """The package over https (a redirect to the TLS server, whose
        certificate the system store trusts), with 7z.exe missing beside the
        installer and a planted one in the working folder; then, with 7z.exe
        back, a logout while 7-Zip runs: held, and when it comes all the
        same, the workers stop."""
        tls = ReleaseServer(self.work, s.name + "-tls", self.packages["slow"], [TLS_PORT], tls=True)
        server = ReleaseServer(self.work, s.name, self.packages["slow"], PORTS,
                               redirect_uploads="https://127.0.0.1:%d" % TLS_PORT)
        try:
            self.trust_test_certificate(tls.certificate)
            folder = os.path.join(wine.base, "installer")
            shutil.copytree(self.release["default"], folder, ignore=shutil.ignore_patterns("7z.exe"))
            installer = os.path.join(folder, "nerixSetupOnline.exe")
            process, window = self.start_window(s, wine, installer, cwd=self.planted,
                                                search_path=windows_path(self.planted))
            self.display.click(window, *INSTALL_BUTTON)
            outcome = server.wait_outcome()
            s.check("pc-load-ok" in server.names(), "the package arrives over https", repr(server.names()))
            s.check(outcome == "pc-install-failedcode-3", "without 7z.exe the extraction fails (code 3)",
                    repr(outcome))
            s.check("unzip failed, missing" in self.log_text(wine) and "/7z.exe" in self.log_text(wine),
                    "the log names the missing program")
            s.check(not os.path.exists(wine.user_folder("AppData", "Local", "planted-launched.txt")),
                    "no 7z.exe from the working folder or PATH runs")

            shutil.copy(os.path.join(self.release["default"], "7z.exe"), folder)
            self.display.click(window, *RETRY_BUTTON)
            s.require(wait_until(lambda: "pc-load-ok" in server.names()[server.names().index("pc-load-ok") + 1:],
                                 120, 0.2), "the retry downloads again")
            extracting = wait_until(lambda: subprocess.run(["pgrep", "-f", "7z.exe x"],
                                                           capture_output=True).returncode == 0, 20)
            s.require(extracting, "7-Zip runs")
            held = subprocess.run(wine.command(["wineboot", "--end-session"]), env=wine.env, capture_output=True)
            s.check(held.returncode != 0 and "session end held" in self.log_text(wine),
                    "a logout while 7-Zip runs is held", "wineboot: %d" % held.returncode)
            wine.output(self.window_probe_exe, "--end-session", "nerixSetupOnline")
            code = wait_process(process, 15)
            log = self.log_text(wine)
            s.check(any("load libcurl" in line and "Schannel" in line for line in log.splitlines()),
                    "the log names libcurl's TLS backend")
            s.check(code == 0 and "session ends" in log and "unzip cancelled" in log,
                    "when the session ends all the same, the install stops and the installer ends",
                    "exit %r" % code)
            s.check(subprocess.run(["pgrep", "-f", "7z.exe x"], capture_output=True).returncode != 0,
                    "7-Zip no longer runs")
            s.check("pc-install-success" not in server.names(), "no success reported")
        finally:
            server.close()
            tls.close()
            subprocess.run(["umount", "/etc/ssl/certs/ca-certificates.crt"], stderr=subprocess.DEVNULL)

    def leftovers(self, s, wine):
        """A user's file in the install folder, on a volume too small for the
        product (a tmpfs in the run's own mount namespace): the failed install
        takes away what it put there and the space comes back; the retry, once
        there is room, keeps the file, and so does a reinstall over the
        installation. After success the data folder holds nothing but the log."""
        server = ReleaseServer(self.work, s.name, self.packages["normal"], PORTS)
        install_dir = "C:/Program Files/corvaneMasterRecovery"
        folder = wine.drive(install_dir)
        notes = os.path.join(folder, "my-notes.txt")
        data = wine.user_folder("AppData", "Roaming", "nerixSetupOnline")
        installer = os.path.join(self.release["default"], "nerixSetupOnline.exe")
        channel = ("Default", 1, "0000000000000000")

        def only_the_log(when):
            left = sorted(os.listdir(data)) if os.path.isdir(data) else []
            s.check(not [e for e in left if e != "install_vantrel.log"],
                    "%APPDATA%\\nerixSetupOnline holds nothing but the log " + when, repr(left))

        os.makedirs(folder)
        run(["mount", "-t", "tmpfs", "-o", "size=1m", "nerix-small", folder])
        try:
            with open(notes, "w") as out:
                out.write("recovered files")
            free = os.statvfs(folder).f_bfree
            process, window = self.start_window(s, wine, installer)
            self.display.click(window, *INSTALL_BUTTON)
            outcome = server.wait_outcome()
            s.check(outcome == "pc-install-failedcode-4", "a full volume fails the install (code 4)", repr(outcome))
            s.check(os.listdir(folder) == ["my-notes.txt"] and os.statvfs(folder).f_bfree == free,
                    "the failed install takes away what it put there, and the space comes back",
                    repr(os.listdir(folder)))
            run(["mount", "-o", "remount,size=64m", folder])
            self.display.click(window, *RETRY_BUTTON)
            s.require(wait_until(lambda: "pc-install-success" in server.names(), 120, 0.2),
                      "the retry installs once there is room", repr(server.names()))
            time.sleep(0.5)
            self.check_installation(s, wine, "default", install_dir, channel)
            s.check(open(notes).read() == "recovered files" and "my-notes.txt" in self.log_text(wine),
                    "the user's file stays through the install, and the log names it")
            only_the_log("after success")
            self.launch(s, wine, "default", process, window, install_dir)
            only_the_log("once the installer has ended")

            # Again over the installation, the offer to uninstall declined.
            process = wine.start(installer)
            question = self.display.wait_window("^%s$" % QUESTION_TITLE[wine.lang])
            s.require(question is not None, "the next start asks to uninstall")
            self.display.key(question, "Escape")
            window = self.display.wait_window("^nerixSetupOnline$")
            s.require(window is not None, "the window appears")
            time.sleep(1)
            self.display.click(window, *INSTALL_BUTTON)
            s.require(wait_until(lambda: server.names().count("pc-install-success") == 2, 120, 0.2),
                      "the reinstall succeeds", repr(server.names()))
            time.sleep(0.5)
            self.check_installation(s, wine, "default", install_dir, channel)
            s.check(open(notes).read() == "recovered files", "the user's file stays through the reinstall")
            self.launch(s, wine, "default", process, window, install_dir)
        finally:
            server.close()
            subprocess.run(["umount", "-l", folder], stderr=subprocess.DEVNULL)

    def setup_program(self, s, wine):
        """The setup stub on its own, started from a folder whose name has a
        space and CJK, around a program that records its command line and
        ends with code 7, with a 7z.exe beside it that must not run."""
        archive = os.path.join(wine.base, "probe.7z")
        run(["7z", "a", "-bd", "-mx=9", archive, "."], cwd=self.probe, stdout=subprocess.DEVNULL)
        folder = wine.drive("C:/下载 文件")
        os.makedirs(folder)
        setup = os.path.join(folder, "setup.exe")
        with open(setup, "wb") as out:
            for part in (self.stub, archive):
                out.write(open(part, "rb").read())
        # Longer than the stub's old fixed buffer of MAX_PATH*3 characters.
        channel = 'promo_春 季 "夏" \\"x' + "y" * 900 + "-a1b2c3d4e5f60718"
        process = wine.start(setup, channel)
        code = wait_process(process, 60)
        s.check(code == 7, "setup.exe returns the program's exit code", repr(code))
        record = wine.user_folder("AppData", "Local", "probe-launched.txt")
        lines = dict(line.split("=", 1) for line in open(record, encoding="utf-8").read().splitlines()
                     if "=" in line) if os.path.isfile(record) else {}
        s.check(lines.get("args") == subprocess.list2cmdline([channel]), "the command line arrives byte for byte",
                repr(lines.get("args", ""))[:200])
        temp = windows_path(wine.user_folder("Temp")).lower()
        s.check(lines.get("exe", "").lower().endswith("\\nerixsetuponline.exe") and
                "\\temp\\7z" in lines.get("exe", "").lower(),
                "the program runs from a folder of its own in %TEMP%", repr(lines.get("exe")) + " " + temp)
        s.check(not os.path.exists(wine.user_folder("AppData", "Local", "planted-launched.txt")),
                "the 7z.exe beside it does not run")
        s.check(self.unpacked(wine) == [], "its folder is removed afterwards", repr(self.unpacked(wine)))

    def signatures(self, s):
        """Authenticode on each setup.exe and every program inside it, under
        the throw-away CA; one byte changed in the archive breaks it. And
        what Explorer shows of setup.exe: icon, version, no elevation."""
        for edition, product in (("default", "Corvane"), ("green", "Quorbel")):
            setup = self.setup[edition]
            s.check(signing.verifies(setup, self.ca), edition + ": setup.exe verifies")
            inside = os.path.join(self.work, "inside-" + edition)
            run(["7z", "x", "-y", "-o" + inside, setup], stdout=subprocess.DEVNULL)
            programs = [os.path.join(d, f) for d, _, files in os.walk(inside) for f in files
                        if f.lower().endswith((".exe", ".dll"))]
            bad = [os.path.relpath(p, inside) for p in programs if not signing.verifies(p, self.ca)]
            s.check(len(programs) > 10 and not bad, "%s: the %d programs and DLLs inside verify" % (
                edition, len(programs)), repr(bad))
            tampered = os.path.join(self.work, "tampered-%s.exe" % edition)
            data = bytearray(open(setup, "rb").read())
            data[os.path.getsize(self.stub) + (len(data) - os.path.getsize(self.stub)) // 2] ^= 0x01
            open(tampered, "wb").write(data)
            s.check(not signing.verifies(tampered, self.ca), edition + ": one byte changed in the archive fails")
            icon = subprocess.run(["wrestool", "-x", "-t", "14", setup], capture_output=True).stdout
            version = subprocess.run(["wrestool", "-x", "--raw", "-t", "16", setup],
                                     capture_output=True).stdout.decode("utf-16-le", "replace")
            manifest = subprocess.run(["wrestool", "-x", "--raw", "-t", "24", setup], capture_output=True).stdout
            s.check(len(icon) > 6 and "1.2.1" in version and product in version and b'level="asInvoker"' in manifest,
                    edition + ": setup.exe has the icon, version 1.2.1 of %s and asks for no elevation" % product)

    def check_resources(self, s):
        """What Explorer shows of the program: its icon at every size, its
        version, and the manifest (no elevation asked, long paths)."""
        for edition, product in (("default", "Corvane"), ("green", "Quorbel")):
            exe = os.path.join(self.release[edition], "nerixSetupOnline.exe")
            icon = subprocess.run(["wrestool", "-x", "-t", "14", exe], capture_output=True).stdout
            count = int.from_bytes(icon[4:6], "little") if len(icon) >= 6 else 0
            sizes = [icon[6 + 16 * i] or 256 for i in range(count)]
            s.check(sizes == [16, 20, 24, 32, 40, 48, 64, 128, 256], edition + ": the icon from 16 to 256 pixels",
                    repr(sizes))
            version = subprocess.run(["wrestool", "-x", "--raw", "-t", "16", exe],
                                     capture_output=True).stdout.decode("utf-16-le", "replace")
            s.check("1.2.1" in version and product in version, edition + ": version 1.2.1 of " + product)
            manifest = subprocess.run(["wrestool", "-x", "--raw", "-t", "24", exe], capture_output=True).stdout
            s.check(b'level="asInvoker"' in manifest and b"longPathAware>true<" in manifest,
                    edition + ": the manifest asks for no elevation and declares long paths")

    def platform(self, s, wine):
        """The Windows platform layer's own checks (tests/windows), and the
        program's resources."""
        self.check_resources(s)
        # Qt Test's own output does not reach Wine's console: a file.
        report = os.path.join(wine.base, "report.txt")
        result = wine.output(self.platform_checks, "-o", windows_path(report) + ",txt", timeout=300)
        result.stdout = open(report, encoding="utf-8", errors="replace").read() if os.path.isfile(report) else ""
        for line in result.stdout.splitlines():
            if line.startswith(("PASS", "FAIL", "SKIP", "Totals")) or line.startswith("   "):
                s.lines.append("      " + line)
        s.check(result.returncode == 0 and "Totals:" in result.stdout, "test_platform_win.exe passes",
                result.stdout[-2000:] + result.stderr[-500:])

    # --- the whole run ------------------------------------------------

    def main(self):
        self.prepare()
        self.display = Display()
        spring = ("春季", 1, "a1b2c3d4e5f60718")
        quoted = ('春 季 "夏"', 1, "a1b2c3d4e5f60718")
        default = ("Default", 1, "0000000000000000")
        plan = [
            ("signatures", lambda: self.scenario("signatures", lambda s, wine: self.signatures(s))),
            ("setup", lambda: self.scenario("setup", self.setup_program, "zh")),
            ("default-zh", lambda: self.scenario("default-zh", self.installs(
                "default", 'promo_春 季 "夏"-a1b2c3d4e5f60718', quoted, uninstall_again=True, shots=True), "zh")),
            ("default-en", lambda: self.scenario("default-en", self.installs("default", None, default), "en")),
            ("green-zh", lambda: self.scenario("green-zh", self.installs("green", None, default, shots=True), "zh")),
            ("green-en", lambda: self.scenario("green-en", self.installs(
                "green", "promo_春季-a1b2c3d4e5f60718", spring, folder="C:/下载 文件"), "en")),
            ("platform", lambda: self.scenario("platform", self.platform)),
            ("standard-user", lambda: self.scenario("standard-user", self.standard_user, "zh", NOBODY, True)),
            ("faults", lambda: self.scenario("faults", self.faults, "en", needs_root=True)),
            ("leftovers", lambda: self.scenario("leftovers", self.leftovers, "en", needs_root=True)),
        ]
        try:
            for name, scenario in plan:
                if self.args.only and name not in self.args.only:
                    continue
                scenario()
                s = self.scenarios[-1]
                status = "Skipped" if s.skipped else "Failed" if s.failed else "Passed"
                print("%-28s %s  %5.1f s" % (s.name, status, s.seconds), flush=True)
                if s.skipped:
                    print("    (%s)" % s.skipped)
                for line in s.lines:
                    if line.startswith("FAIL") or self.args.verbose:
                        print("    " + line)
        finally:
            self.display.close()
        failed = [s.name for s in self.scenarios if s.failed]
        ran = [s for s in self.scenarios if not s.skipped]
        print("%d%% scenarios passed, %d failed out of %d" % (
            100 * (len(ran) - len(failed)) // max(1, len(ran)), len(failed), len(ran)))
        return 1 if failed or not ran else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--only", nargs="*", help="run only these scenarios")
    parser.add_argument("--keep", action="store_true", help="keep the work folder and Wine prefixes")
    parser.add_argument("--no-build", action="store_true", help="use the builds already in build/windows-local-*")
    parser.add_argument("--verbose", action="store_true", help="list passed checks too")
    args = parser.parse_args()
    # A mount namespace of the run's own, where the test certificate is
    # trusted without touching the machine's trust store.
    if os.geteuid() == 0 and not os.environ.get("NERIX_WINE_NAMESPACE"):
        os.environ["NERIX_WINE_NAMESPACE"] = "1"
        os.execvp("unshare", ["unshare", "--mount", "--propagation", "private", sys.executable,
                              os.path.abspath(__file__), *sys.argv[1:]])
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
