"""A throw-away self-signed certificate for the server, made with the openssl CLI."""

import os
import subprocess


class CertificateError(Exception):
    pass


def generate(directory):
    """Writes cert.pem and key.pem (EC P-256, for 127.0.0.1 and localhost) into
    directory and returns their paths."""
    cert = os.path.join(directory, "cert.pem")
    key = os.path.join(directory, "key.pem")
    command = [
        "openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
        "-nodes", "-keyout", key, "-out", cert, "-days", "7", "-subj", "/CN=127.0.0.1",
        "-addext", "subjectAltName=IP:127.0.0.1,DNS:localhost",
    ]
    try:
        result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                timeout=60, check=False)
    except (OSError, subprocess.TimeoutExpired) as err:
        raise CertificateError("cannot run openssl: %s" % err) from err
    if result.returncode != 0:
        raise CertificateError("openssl req failed: %s"
                               % result.stderr.decode("utf-8", "replace").strip())
    return cert, key
