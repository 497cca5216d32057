"""A throw-away certificate authority and code-signing certificate made with
openssl, and osslsigncode's verdict on a signed file: what the runs that
check the release's Authenticode signatures stand on."""

import os
import subprocess

CODE_SIGNING = "basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n"


def make_test_certificate(folder):
    """Makes them in folder; test_certificate(folder) tells how to use them."""
    os.makedirs(folder, exist_ok=True)

    def path(name):
        return os.path.join(folder, name)

    def openssl(*args):
        subprocess.run(["openssl", *args], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", path("ca.key"), "-out", path("ca.pem"),
            "-days", "2", "-subj", "/CN=nerix test CA", "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign")
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", path("signer.key"), "-out", path("signer.csr"),
            "-subj", "/CN=nerix test publisher")
    with open(path("signer.ext"), "w") as f:
        f.write(CODE_SIGNING)
    openssl("x509", "-req", "-in", path("signer.csr"), "-CA", path("ca.pem"), "-CAkey", path("ca.key"),
            "-CAcreateserial", "-out", path("signer.pem"), "-days", "2", "-extfile", path("signer.ext"))
    with open(path("password.txt"), "w") as f:
        f.write("throw-away\n")
    openssl("pkcs12", "-export", "-inkey", path("signer.key"), "-in", path("signer.pem"), "-certfile",
            path("ca.pem"), "-out", path("signer.p12"), "-passout", "file:" + path("password.txt"))
    return test_certificate(folder)


def test_certificate(folder):
    """The environment that tools/windows/build.sh signs with, and the CA
    file that verifies its signatures."""
    env = {"NERIX_SIGN_PKCS12": os.path.join(folder, "signer.p12"),
           "NERIX_SIGN_PASSWORD_FILE": os.path.join(folder, "password.txt")}
    return env, os.path.join(folder, "ca.pem")


def verifies(file, ca):
    result = subprocess.run(["osslsigncode", "verify", "-CAfile", ca, "-in", file], capture_output=True, text=True)
    return result.returncode == 0 and "Signature verification: ok" in result.stdout
