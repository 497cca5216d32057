"""tools/release --rehearse: the release folder served on 127.0.0.1 by
tools/release_server.py, and its setup.exe run under Wine through install and
launch, as the Wine run's scenarios do."""

import glob
import os
import shutil
import subprocess
import tempfile

import wine_flow
from wine_env import Display, Failure, ReleaseServer, Scenario, WinePrefix, wait_process, wait_until


def rehearse(dist, word):
    """(passed, report lines) for the release in dist of the product word."""
    work = tempfile.mkdtemp(prefix="nerix-rehearsal-")
    locales = os.path.join(work, "locales")
    subprocess.run(["localedef", "-i", "en_US", "-f", "UTF-8", os.path.join(locales, "en_US.UTF-8")],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    s = Scenario("rehearsal")
    flow = wine_flow.Flow(None, work)
    flow.display = Display()
    wine = server = None
    try:
        wine = WinePrefix(work, "wine", "en", "en_US.UTF-8", flow.display, locales)
        server = ReleaseServer(work, "server", dist, wine_flow.PORTS)
        setup = glob.glob(os.path.join(dist, "*-setup.exe"))[0]
        process, window = flow.start_window(s, wine, setup)
        flow.install(s, server, window)
        install_dir = wine.drive("C:/Program Files/%sMasterRecovery" % word)
        s.check(os.path.isfile(os.path.join(install_dir, "Uninstall.list")), "installed in " + install_dir)
        flow.display.click(window, *wine_flow.START_BUTTON)
        s.check(wait_process(process, 60) == 0, "setup.exe ends with code 0 after the start")
        # The sample product leaves a note; a publisher's product is seen running.
        marker = wine.user_folder("AppData", "Local", word + "-launched.txt")
        program = word + "MasterRecovery.exe"
        started = wait_until(lambda: os.path.isfile(marker) or subprocess.run(
            ["pgrep", "-f", program], capture_output=True).returncode == 0, 30)
        s.check(bool(started), "the product started: " + program)
    except Failure:
        pass
    finally:
        if server:
            server.close()
        if wine:
            wine.close()
        flow.display.close()
        shutil.rmtree(work, ignore_errors=True)
    return not s.failed, ["rehearsal: " + line for line in s.lines]
