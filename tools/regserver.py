#!/usr/bin/python3
"""Stand-in registration server for trying the sign-up wizard on one machine.

FTP (anonymous, read-only) serves the access-number list from --root; HTTP
answers the sign-up form posted to /Registration/setvariables.cfm the way the
service's server does: a short Windows-1252 page saying True and the new
member ID, or False and why.

    /usr/bin/python3 tools/regserver.py --root DIR [--host 127.0.0.1]
        [--ftp-port 0] [--http-port 0] [--requests FILE] [--last-body FILE]
        [--reply-file FILE] [--delay SECONDS] [--ports-file FILE]

Port 0 takes a free port. Once both servers listen, one line
"ftp=PORT http=PORT" goes to stdout (and to --ports-file). SIGTERM or SIGINT
stops both.
"""

import argparse
import json
import logging
import os
import signal
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

REGISTRATION_PATH = "/Registration/setvariables.cfm"
FIRST_MEMBER_ID = 4100001
# Cards the card company declines although their check digit is right.
DECLINED_CARDS = ("4000000000000002",)
REQUIRED_FIELDS = (
    "firstname", "lastname", "Address1", "City", "State", "ZipCode", "Phone",
    "PaymentType", "CCNumber", "CCMonth", "CCYear", "CCName", "Password",
)


def ansi_text(raw):
    """Windows-1252 bytes as text; the five unassigned codes keep their number."""
    return "".join(bytes([b]).decode("cp1252", errors="ignore") or chr(b) for b in raw)


def card_number_ok(number):
    """Luhn mod 10 over 12 to 19 digits (spaces and dashes allowed); all zeros pass
    the sum but are no card."""
    digits = number.replace(" ", "").replace("-", "")
    if not 12 <= len(digits) <= 19 or any(c not in "0123456789" for c in digits):
        return False
    if not digits.strip("0"):
        return False
    total = 0
    for position, char in enumerate(reversed(digits)):
        digit = int(char)
        if position % 2 == 1:
            digit = digit * 2 - 9 if digit > 4 else digit * 2
        total += digit
    return total % 10 == 0


def form_error(fields):
    """The one line that says why the form is refused, or None."""
    for name in REQUIRED_FIELDS:
        if not fields.get(name, "").strip():
            return "Missing value: " + name
    card = fields["CCNumber"].strip()
    if not card_number_ok(card):
        return "The credit card number was refused."
    if card in DECLINED_CARDS:
        return "The credit card was declined by the card company."
    return None


def reply_page(accepted, line):
    text = "\r\n<html><body>\r\n%s\r\n%s\r\n</body></html>\r\n" % (
        "True" if accepted else "False", line)
    return text.encode("cp1252", errors="replace")


class Registrar:
    """What the HTTP side shares between its threads: the options, the member
    IDs handed out so far and the request log."""

    def __init__(self, options):
        self.options = options
        self.lock = threading.Lock()
        self.next_member_id = FIRST_MEMBER_ID

    def record(self, path, headers, raw):
        if self.options.last_body:
            with self.lock:
                # Whole or not at all, as for the ports file.
                with open(self.options.last_body + ".tmp", "wb") as body:
                    body.write(raw)
                os.replace(self.options.last_body + ".tmp", self.options.last_body)
        if not self.options.requests:
            return
        entry = {"path": path, "headers": dict(headers.items()), "body": ansi_text(raw)}
        with self.lock, open(self.options.requests, "a", encoding="utf-8") as log:
            log.write(json.dumps(entry, ensure_ascii=False) + "\n")

    def answer(self, raw):
        if self.options.reply_file:
            with open(self.options.reply_file, "rb") as reply:
                return reply.read()
        # The wizard sends the values unescaped: parse leniently, never fail.
        fields = dict(urllib.parse.parse_qsl(ansi_text(raw), keep_blank_values=True,
                                             encoding="cp1252", errors="replace"))
        error = form_error(fields)
        if error:
            return reply_page(False, error)
        with self.lock:
            member_id, self.next_member_id = self.next_member_id, self.next_member_id + 1
        return reply_page(True, "%07d" % member_id)


class RegistrationHandler(BaseHTTPRequestHandler):
    server_version = "quorvale-regserver/1.0"

    def do_POST(self):
        registrar = self.server.registrar
        raw = self.rfile.read(int(self.headers.get("Content-Length") or 0))
        registrar.record(self.path, self.headers, raw)
        if urllib.parse.urlsplit(self.path).path != REGISTRATION_PATH:
            self.send_error(404)
            return
        if registrar.options.delay > 0:
            time.sleep(registrar.options.delay)
        self.send_page(registrar.answer(raw))

    def do_GET(self):
        self.server.registrar.record(self.path, self.headers, b"")
        self.send_error(404)

    def send_page(self, body):
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=windows-1252")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, format, *args):
        pass  # stdout carries the ports line only; tests read it


def start_ftp(options):
    authorizer = DummyAuthorizer()
    authorizer.add_anonymous(os.path.abspath(options.root), perm="elr")  # read-only

    class Handler(FTPHandler):
        pass

    Handler.authorizer = authorizer
    Handler.banner = "quorvale Online registration server ready."
    return FTPServer((options.host, options.ftp_port), Handler)


def start_http(options):
    server = ThreadingHTTPServer((options.host, options.http_port), RegistrationHandler)
    server.daemon_threads = True  # a delayed answer never holds up the end
    server.registrar = Registrar(options)
    # A short poll interval lets the end come quickly after a signal.
    threading.Thread(target=server.serve_forever, args=(0.1,), daemon=True).start()
    return server


def announce(ports_line, ports_file):
    print(ports_line, flush=True)
    if ports_file:
        # Whole or not at all: a reader never sees half a line.
        with open(ports_file + ".tmp", "w") as out:
            out.write(ports_line + "\n")
        os.replace(ports_file + ".tmp", ports_file)


def parse_options(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", required=True, help="folder served by FTP")
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--ftp-port", type=int, default=0)
    parser.add_argument("--http-port", type=int, default=0)
    parser.add_argument("--requests", help="append each HTTP request here as a JSON line")
    parser.add_argument("--last-body", help="write each HTTP request's body here, as sent, "
                        "in place of the one before")
    parser.add_argument("--reply-file", help="answer every sign-up with this file's bytes")
    parser.add_argument("--delay", type=float, default=0, help="seconds to wait before answering")
    parser.add_argument("--ports-file", help="write the ports line here too")
    return parser.parse_args(argv)


def main(argv):
    options = parse_options(argv)
    logging.basicConfig(level=logging.WARNING, stream=sys.stderr)
    stop = threading.Event()
    for signum in (signal.SIGTERM, signal.SIGINT):
        signal.signal(signum, lambda *_: stop.set())
    ftp = start_ftp(options)
    http = start_http(options)
    announce("ftp=%d http=%d" % (ftp.address[1], http.server_address[1]), options.ports_file)
    try:
        while not stop.is_set():
            ftp.serve_forever(timeout=0.2, blocking=False, handle_exit=False)
    finally:
        http.shutdown()
        http.server_close()
        ftp.close_all()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
