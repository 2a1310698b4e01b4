#!/usr/bin/python3
"""A real SMTP server for the tests (aiosmtpd), on a free port.

Prints "READY <port>" once it listens, then serves until stdin closes or it is killed. A line
"delay <ms>" on stdin makes it wait that long before it accepts each message (a slow server);
"delay 0" ends that. Every
message it takes is saved in --store as msg-<n>.eml (the bytes as received) with msg-<n>.json
beside it (envelope sender and recipients, whether the session was encrypted, the login).
"""
import argparse
import asyncio
import json
import os
import socket
import ssl
import sys

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword


def free_port(host):
    family = socket.AF_INET6 if ":" in host else socket.AF_INET
    with socket.socket(family, socket.SOCK_STREAM) as s:
        s.bind((host, 0))
        return s.getsockname()[1]


def encrypted(server, session):
    # STARTTLS sets session.ssl; a connection that began with TLS shows it on its transport.
    return session.ssl is not None or server.transport.get_extra_info("ssl_object") is not None


class Handler:
    def __init__(self, store, reject):
        self.store = store
        self.reject = {a.lower() for a in reject}
        # A server started again on the same store goes on counting after the messages kept there.
        self.count = len([n for n in os.listdir(store) if n.endswith(".eml")])
        self.delay = 0.0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower() in self.reject:
            return "550 5.1.1 <%s>: Recipient address rejected: no such user" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if self.delay:
            await asyncio.sleep(self.delay)
        self.count += 1
        base = os.path.join(self.store, "msg-%04d" % self.count)
        info = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "tls": encrypted(server, session),
            "login": (session.auth_data.login.decode() if isinstance(session.auth_data, LoginPassword) else ""),
            "tls_at_auth": getattr(session, "tls_at_auth", False),
        }
        # Written under a temporary name first: a reader never sees half a message.
        with open(base + ".tmp", "wb") as f:
            f.write(envelope.original_content)
        os.replace(base + ".tmp", base + ".eml")
        with open(base + ".jtmp", "w") as f:
            json.dump(info, f)
        os.replace(base + ".jtmp", base + ".json")
        return "250 Message accepted for delivery"


def make_authenticator(user, password):
    def authenticate(server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword) and auth_data.login.decode() == user
              and auth_data.password.decode() == password)
        session.tls_at_auth = encrypted(server, session)
        return AuthResult(success=ok, handled=False, auth_data=auth_data)
    return authenticate


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--host", default="127.0.0.1")
    p.add_argument("--port", type=int, default=0)
    p.add_argument("--store", required=True)
    p.add_argument("--user")
    p.add_argument("--password")
    p.add_argument("--cert", help="certificate and key for STARTTLS (or for TLS at once with --implicit-tls)")
    p.add_argument("--key")
    p.add_argument("--implicit-tls", action="store_true")
    p.add_argument("--reject", action="append", default=[])
    a = p.parse_args()

    port = a.port or free_port(a.host)
    context = None
    if a.cert:
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(a.cert, a.key)
    kwargs = dict(hostname=a.host, port=port, auth_require_tls=False)
    if a.user is not None:
        kwargs.update(authenticator=make_authenticator(a.user, a.password or ""), auth_required=True)
    if context and a.implicit_tls:
        kwargs["ssl_context"] = context
    elif context:
        kwargs["tls_context"] = context
    handler = Handler(a.store, a.reject)
    controller = Controller(handler, **kwargs)
    controller.start()
    print("READY %d" % port, flush=True)
    for line in sys.stdin:  # the test closes stdin (or ends) when it is done
        words = line.split()
        if len(words) == 2 and words[0] == "delay":
            handler.delay = int(words[1]) / 1000.0


if __name__ == "__main__":
    main()
