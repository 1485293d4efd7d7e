#!/usr/bin/env python3
"""Simulated CIM server: CIM-XML over HTTPS on 127.0.0.1 for tests, demos and
benchmarks. See README.md beside this file for the command line."""

import argparse
import os
import shutil
import signal
import ssl
import sys
import tempfile
import threading

import certificate
import sample_inventory
from faults import FaultFileError, FaultRules
from http_handler import CimHttpServer, ServerContext
from operations import Operations
from replay import ReplayFolder
from repository import Repository, RepositoryError
from request_log import RequestLog


def parse_arguments(argv):
    parser = argparse.ArgumentParser(
        prog="simserver", description="Simulated CIM-XML server on 127.0.0.1.")
    parser.add_argument("--repository", "-r", action="append", default=[], metavar="FILE",
                        help="CIM-XML file with CLASS and INSTANCE declarations (repeatable)")
    parser.add_argument("--sample", action="store_true",
                        help="also serve the generated sample inventory")
    parser.add_argument("--sample-scale", type=int, default=1, metavar="N",
                        help="scale of the sample inventory (default 1; implies --sample "
                             "when given)")
    parser.add_argument("--namespace", action="append", default=None, metavar="NS",
                        help="namespace served (repeatable; default root/quorvin)")
    parser.add_argument("--user", help="user name for Basic authentication")
    parser.add_argument("--password", default="", help="password for Basic authentication")
    parser.add_argument("--no-auth", action="store_true", help="accept requests without credentials")
    parser.add_argument("--www-authenticate", default='Basic realm="simserver"',
                        metavar="CHALLENGE", help="WWW-Authenticate value of a 401 reply")
    parser.add_argument("--faults", metavar="FILE", help="JSON file of fault rules")
    parser.add_argument("--replay", metavar="DIR", help="folder of recorded responses")
    parser.add_argument("--log-dir", metavar="DIR", help="request log directory")
    parser.add_argument("--port", type=int, default=0, help="TCP port (default 0: a free one)")
    parser.add_argument("--port-file", metavar="FILE", help="write the chosen port to FILE")
    parser.add_argument("--lifetime", type=float, default=300.0, metavar="SECONDS",
                        help="stop after this many seconds (default 300)")
    parser.add_argument("--idle-timeout", type=float, default=30.0, metavar="SECONDS",
                        help="close a connection that sends nothing for this long (default 30)")
    parser.add_argument("--max-request-bytes", type=int, default=4 * 1024 * 1024)
    parser.add_argument("--chunked", action="store_true", help="send every reply chunked")
    parser.add_argument("--chunk-bytes", type=int, default=8192, help="chunk size (default 8192)")
    parser.add_argument("--instance-qualifiers", action="store_true",
                        help="with IncludeQualifiers, give instance properties the class "
                             "definition's qualifiers")
    parser.add_argument("--omit-empty-result", action="store_true",
                        help="answer an empty result without IRETURNVALUE")
    parser.add_argument("--reject-expect", action="store_true",
                        help="answer requests with an Expect header with 417, as sfcb does")
    parser.add_argument("--no-tls", action="store_true", help="plain HTTP (for debugging)")
    parser.add_argument("--cert", metavar="FILE",
                        help="PEM certificate (chain) to serve instead of a generated one")
    parser.add_argument("--key", metavar="FILE", help="PEM private key of --cert")
    parser.add_argument("--verbose", action="store_true", help="log connections on stderr")
    args = parser.parse_args(argv)
    if not args.no_auth and args.user is None:
        parser.error("give --user (and --password), or --no-auth")
    if args.user is not None and ":" in args.user:
        parser.error("--user cannot contain ':' (Basic authentication ends the name there)")
    if args.sample_scale < 1:
        parser.error("--sample-scale must be 1 or more")
    if args.sample_scale != 1:
        args.sample = True
    if args.lifetime <= 0 or args.idle_timeout <= 0:
        parser.error("--lifetime and --idle-timeout must be positive")
    if (args.cert is None) != (args.key is None):
        parser.error("give --cert and --key together")
    if args.cert is not None and args.no_tls:
        parser.error("--cert and --key need TLS; drop --no-tls")
    return args


def _write_port_file(path, port):
    temporary = path + ".tmp"
    with open(temporary, "w", encoding="ascii") as f:
        f.write("%d\n" % port)
    os.replace(temporary, path)


def _load_repository(args, workdir):
    repository = Repository()
    paths = list(args.repository)
    if args.sample:
        sample = os.path.join(workdir, "sample_inventory.xml")
        with open(sample, "w", encoding="utf-8") as stream:
            sample_inventory.write_repository(stream, args.sample_scale)
        paths.append(sample)
    for path in paths:
        repository.load_file(path)
    if args.sample:
        os.remove(paths[-1])  # loaded; large at high scales
    return repository


def _serve(args, repository, rules, replay, workdir):
    """Serves until the lifetime ends or a signal comes; returns the exit code."""
    tls_context = None
    if not args.no_tls:
        cert, key = (args.cert, args.key) if args.cert else certificate.generate(workdir)
        tls_context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        tls_context.load_cert_chain(cert, key)
    stop_event = threading.Event()
    credentials = None if args.no_auth else (
        args.user.encode("utf-8", "surrogateescape"),
        args.password.encode("utf-8", "surrogateescape"))
    log = RequestLog(args.log_dir)
    context = ServerContext(
        Operations(repository, args.namespace or ["root/quorvin"],
                   args.instance_qualifiers, args.omit_empty_result),
        credentials, args.www_authenticate, rules, replay, log, stop_event,
        args.idle_timeout, args.max_request_bytes, args.chunked, args.chunk_bytes,
        args.verbose, args.reject_expect)
    server = CimHttpServer(("127.0.0.1", args.port), tls_context, context)
    port = server.server_address[1]

    for signum in (signal.SIGTERM, signal.SIGINT):
        signal.signal(signum, lambda *_: stop_event.set())
    thread = threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.2},
                              daemon=True)
    thread.start()
    if args.port_file:
        _write_port_file(args.port_file, port)
    print("simserver listening on %s://127.0.0.1:%d (%d classes, %d instances)" % (
        "http" if args.no_tls else "https", port, len(repository.class_names(None, True)),
        repository.instance_count()), flush=True)

    stop_event.wait(args.lifetime)
    stop_event.set()  # wakes handlers that stall or trickle
    server.shutdown()
    server.server_close()
    thread.join(timeout=5)
    log.close()
    return 0


def main(argv):
    args = parse_arguments(argv)
    workdir = tempfile.mkdtemp(prefix="simserver-")
    try:
        repository = _load_repository(args, workdir)
        rules = FaultRules.load(args.faults) if args.faults else FaultRules()
        replay = ReplayFolder(args.replay) if args.replay else None
        return _serve(args, repository, rules, replay, workdir)
    except (RepositoryError, FaultFileError, certificate.CertificateError, OSError) as err:
        print("simserver: %s" % err, file=sys.stderr)
        return 2
    finally:
        shutil.rmtree(workdir, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
