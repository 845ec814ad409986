#!/usr/bin/python3
"""An FTP server on loopback for the upload tests and the benchmark, built on pyftpdlib.

Prints "PORT <n>" on its first line once it listens, then serves until it is terminated. The user "pq"
with the password "secret" and the anonymous user may write into --root. --mode makes it misbehave:

  normal               a plain server
  refuse-login         every password is refused (530)
  user-230             USER logs the user in at once (230), no PASS asked
  multiline-greeting   a greeting of several lines, one starting with other digits
  stall-greeting       accepts the connection and never greets
  stall-final          takes the file but never confirms it (no 226)
  drop-data            resets the data connection after the first 64 KiB
  slow                 reads uploads at 256 KiB per second (so a test can cancel mid-way)
  no-epsv              refuses EPSV (502), so the client falls back to PASV
  pasv-no-parens       refuses EPSV and sends the PASV address without parentheses
  pasv-foreign-host    refuses EPSV and names 192.0.2.1 (a documentation address) in its PASV reply
"""

import argparse
import logging
import re
import socket
import struct
import sys
import warnings

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import DTPHandler, FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer

MODES = ("normal", "refuse-login", "user-230", "multiline-greeting", "stall-greeting", "stall-final",
         "drop-data", "slow", "no-epsv", "pasv-no-parens",
         "pasv-foreign-host")


class DroppingDTPHandler(DTPHandler):
    """Resets the data connection once 64 KiB have arrived."""

    def handle_read(self):
        DTPHandler.handle_read(self)
        if self.tot_bytes_received >= 64 * 1024 and not getattr(self, "_dropped", False):
            self._dropped = True
            self.socket.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self.close()

    handle_read_event = handle_read


class SlowDTPHandler(ThrottledDTPHandler):
    """Reads at 256 KiB per second through a small receive buffer, so the sender soon has to wait."""

    read_limit = 256 * 1024

    def __init__(self, sock, cmd_channel):
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 64 * 1024)
        ThrottledDTPHandler.__init__(self, sock, cmd_channel)


def make_handler(mode):
    class Handler(FTPHandler):
        def handle(self):
            if mode == "stall-greeting":
                return
            if mode == "multiline-greeting":
                self.on_connect()
                self.push("220-Welcome to the test server\r\n")
                self.push(" 220 this line is indented and does not end the greeting\r\n")
                self.push("123 nor does this one\r\n")
                self.push("220-still more\r\n")
                self.respond("220 ready")
                return
            FTPHandler.handle(self)

        def ftp_USER(self, line):
            if mode == "user-230":
                self.username = line
                home = self.authorizer.get_home_dir(line if self.authorizer.has_user(line) else "pq")
                self.handle_auth_success(home, "", "logged in without a password")
                return
            FTPHandler.ftp_USER(self, line)

        def ftp_PASS(self, line):
            if mode == "refuse-login":
                self.respond("530 Login incorrect.")
                return
            FTPHandler.ftp_PASS(self, line)

        def ftp_EPSV(self, line):
            if mode in ("no-epsv", "pasv-no-parens",
         "pasv-foreign-host"):
                self.respond("502 Command not implemented.")
                return
            FTPHandler.ftp_EPSV(self, line)

        def respond(self, resp, logfun=logging.debug):
            if mode == "pasv-no-parens" and resp.startswith("227"):
                resp = resp.replace("(", "").replace(")", "")
            if mode == "pasv-foreign-host" and resp.startswith("227"):
                resp = re.sub(r"\(\d+,\d+,\d+,\d+,", "(192,0,2,1,", resp)
            if mode == "stall-final" and resp.startswith("226"):
                return
            FTPHandler.respond(self, resp, logfun)

    if mode == "drop-data":
        Handler.dtp_handler = DroppingDTPHandler
    elif mode == "slow":
        Handler.dtp_handler = SlowDTPHandler
    return Handler


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", required=True)
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--mode", default="normal", choices=MODES)
    args = parser.parse_args()

    logging.basicConfig(level=logging.CRITICAL)
    warnings.simplefilter("ignore")
    authorizer = DummyAuthorizer()
    authorizer.add_user("pq", "secret", args.root, perm="elradfmwMT")
    authorizer.add_anonymous(args.root, perm="elradfmw")
    handler = make_handler(args.mode)
    handler.authorizer = authorizer
    handler.auth_failed_timeout = 0.05
    handler.timeout = 600
    server = FTPServer((args.host, 0), handler)
    print("PORT %d" % server.socket.getsockname()[1], flush=True)
    try:
        server.serve_forever(handle_exit=True)
    finally:
        server.close_all()


if __name__ == "__main__":
    sys.exit(main())
