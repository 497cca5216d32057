#!/usr/bin/env python3
"""What unpacking costs: under Wine, the time from starting setup.exe to the
installer's window on screen, against the release folder's
nerixSetupOnline.exe, in alternating pairs in one warm Wine prefix; and the
size of each setup.exe. A benchmark, not a test.

Usage: flock /tmp/nerix-ports.lock tools/windows/bench_setup.py [--pairs N]
Uses the builds of tools/windows/wine_flow.py (build/windows-local-*).
"""

import argparse
import glob
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from wine_env import ROOT, Display, ReleaseServer, WinePrefix, wait_process, wait_until  # noqa: E402
import wine_flow  # noqa: E402

TITLE = "^nerixSetupOnline$"


def shown(display, wine, program):
    """Seconds from the start to the window being mapped; then closed again."""
    started = time.monotonic()
    process = wine.start(program)
    window = wait_until(lambda: display.windows(TITLE), 60, 0.01)
    seconds = time.monotonic() - started
    if not window:
        raise RuntimeError("no window from " + program)
    time.sleep(0.5)
    display.click(window[0], *wine_flow.CLOSE)
    box = display.wait_window("^%s$" % wine_flow.QUESTION_TITLE["en"], 20)
    if box:
        display.key(box, "Return")
    if wait_process(process, 30) is None:
        raise RuntimeError("the installer did not end")
    return seconds


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--pairs", type=int, default=7)
    args = parser.parse_args()
    build = os.path.join(ROOT, "build", "windows-local-%s")
    for edition in ("default", "green"):
        for setup in glob.glob(os.path.join(build % edition, "release", "*-setup.exe")):
            print("%-48s %6.2f MB" % (os.path.basename(setup), os.path.getsize(setup) / 1e6))
    setup = glob.glob(os.path.join(build % "default", "release", "*-default-setup.exe"))[0]
    folder = os.path.join(build % "default", "release", "nerixSetupOnline", "nerixSetupOnline.exe")

    work = tempfile.mkdtemp(prefix="nerix-bench-setup-")
    locales = os.path.join(work, "locales")
    subprocess.run(["localedef", "-i", "en_US", "-f", "UTF-8", os.path.join(locales, "en_US.UTF-8")],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.makedirs(os.path.join(work, "root"))
    display = Display()
    wine = server = None
    try:
        wine = WinePrefix(work, "wine", "en", "en_US.UTF-8", display, locales)
        server = ReleaseServer(work, "server", os.path.join(work, "root"), wine_flow.PORTS)
        # One of each first: the DLLs in the page cache, the prefix warm.
        shown(display, wine, folder)
        shown(display, wine, setup)
        times = {"setup": [], "folder": []}
        for i in range(args.pairs):
            order = (("setup", setup), ("folder", folder))
            for name, program in (order if i % 2 == 0 else order[::-1]):
                times[name].append(shown(display, wine, program))
        median = {name: statistics.median(values) for name, values in times.items()}
        for name in ("folder", "setup"):
            print("%-8s median %.3f s  (%s)" % (name, median[name], " ".join("%.3f" % t for t in times[name])))
        print("setup.exe costs %+.3f s (median of the pairs' differences %+.3f s), %d pairs" % (
            median["setup"] - median["folder"],
            statistics.median(a - b for a, b in zip(times["setup"], times["folder"])), args.pairs))
    finally:
        if server:
            server.close()
        if wine:
            wine.close()
        display.close()
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
