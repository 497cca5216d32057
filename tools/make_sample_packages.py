#!/usr/bin/env python3
"""Builds the sample product packages that the installer downloads.

Usage: make_sample_packages.py OUTDIR [--sevenzip PROGRAM] [--payload-mb N] [--slow]
                               [--windows-programs DIR] [--sign SECRETKEYFILE]

Each package is a 7z archive holding the folders "Vantrel_x64Minimal" and
"Vantrel_x86Minimal" from tools/sample_product/, with only the executables of
its own product and an edition.txt that names the package, so an installed
copy shows which package it came from. With --windows-programs the product's
two executables are the Windows programs of that folder instead of the shell
scripts (the Windows variant that the Wine run installs). With --sign,
minisign signs each one into <package>.minisig beside it (the demo's key:
tools/demo-package-key.key).
"""

import argparse
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile

SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "sample_product")
TOP_FOLDERS = ("Vantrel_x64Minimal", "Vantrel_x86Minimal")
PRODUCT_WORDS = ("corvane", "quorbel")

# archive name -> (product word, edition text)
PACKAGES = {
    "corvaneSetupx64_min.7z": ("corvane", "Corvane sample package (standard)"),
    "corvaneSetupx64_min_test.7z": ("corvane", "Corvane sample package (test channel)"),
    "corvaneSetupFreex64_min.7z": ("corvane", "Corvane sample package (free edition)"),
    "quorbelSetupx64_min.7z": ("quorbel", "Quorbel sample package (standard)"),
}


def other_products_files(word):
    """An ignore function for copytree that drops the other product's programs."""
    others = tuple(w for w in PRODUCT_WORDS if w != word)

    def ignore(_folder, names):
        return [n for n in names if n.endswith(".exe") and n.startswith(others)]

    return ignore


def write_payload(path, megabytes):
    """Incompressible filler (a deterministic pseudo-random stream), so a demo
    download takes long enough to watch."""
    state = hashlib.sha256(b"nerix sample payload").digest()
    with open(path, "wb") as f:
        for _ in range(megabytes * 1024 * 1024 // len(state) // 1024):
            block = bytearray()
            for _ in range(1024):
                state = hashlib.sha256(state).digest()
                block += state
            f.write(block)


def stage(staging, word, edition, payload_mb, windows_programs=None):
    for top in TOP_FOLDERS:
        target = os.path.join(staging, top)
        shutil.copytree(os.path.join(SOURCE, top), target, symlinks=True, ignore=other_products_files(word))
        if windows_programs:
            for program in (word + "MasterRecovery.exe", word + "MasterUninst.exe"):
                shutil.copyfile(os.path.join(windows_programs, program), os.path.join(target, program))
        with open(os.path.join(target, "edition.txt"), "w", encoding="utf-8") as f:
            f.write(edition + "\n")
        if payload_mb > 0:
            os.makedirs(os.path.join(target, "data"), exist_ok=True)
            write_payload(os.path.join(target, "data", "signatures.bin"), payload_mb)


def build(archive, word, edition, sevenzip, payload_mb=0, slow=False, windows_programs=None):
    # `7z a` adds to an existing archive instead of replacing it.
    if os.path.exists(archive):
        os.remove(archive)
    with tempfile.TemporaryDirectory(prefix="nerix-sample-") as staging:
        stage(staging, word, edition, payload_mb, windows_programs)
        # PPMd unpacks random data about as slowly as it packs it: a package
        # whose extraction lasts long enough to be interrupted.
        method = ["-m0=PPMd", "-mx9"] if slow else []
        result = subprocess.run([sevenzip, "a", "-bd", "-y", *method, archive, *TOP_FOLDERS], cwd=staging,
                                stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        if result.returncode != 0:
            sys.stderr.write(result.stdout.decode("utf-8", "replace"))
            raise RuntimeError(f"{sevenzip} failed with exit code {result.returncode} for {archive}")


def sign(archive, secret_key):
    # A password-less key signs without asking; one with a password fails here
    # rather than waiting for an answer that cannot come.
    result = subprocess.run(["minisign", "-S", "-s", secret_key, "-m", archive], stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    if result.returncode != 0:
        sys.stderr.write(result.stdout.decode("utf-8", "replace"))
        raise RuntimeError(f"minisign failed with exit code {result.returncode} for {archive}")


def main(argv):
    parser = argparse.ArgumentParser(description="Build the sample product packages.")
    parser.add_argument("outdir", help="folder that receives the .7z packages (created if missing)")
    parser.add_argument("--sevenzip", default="7z", help="7-Zip command-line program (default: 7z)")
    parser.add_argument("--payload-mb", type=int, default=0,
                        help="add an incompressible data file of this size to each product folder")
    parser.add_argument("--slow", action="store_true",
                        help="compress with PPMd, so that extracting the payload takes seconds")
    parser.add_argument("--windows-programs", metavar="DIR",
                        help="take each product's two .exe files from DIR (Windows programs)")
    parser.add_argument("--sign", metavar="SECRETKEYFILE",
                        help="sign each package with this minisign secret key (no password)")
    args = parser.parse_args(argv)

    if shutil.which(args.sevenzip) is None:
        sys.stderr.write(f"{args.sevenzip} not found; on Debian: apt-get install p7zip-full\n")
        return 2
    if args.sign and shutil.which("minisign") is None:
        sys.stderr.write("minisign not found; on Debian: apt-get install minisign\n")
        return 2
    outdir = os.path.abspath(args.outdir)
    os.makedirs(outdir, exist_ok=True)
    try:
        for name, (word, edition) in PACKAGES.items():
            archive = os.path.join(outdir, name)
            build(archive, word, edition, args.sevenzip, args.payload_mb, args.slow, args.windows_programs)
            if args.sign:
                sign(archive, args.sign)
            print(archive)
    except (OSError, RuntimeError) as error:
        sys.stderr.write(f"{error}\n")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
