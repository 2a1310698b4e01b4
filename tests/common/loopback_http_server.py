#!/usr/bin/python3
"""A loopback HTTP server for the tests, driven through stdin/stdout.

Starts on 127.0.0.1 with a free port and prints "PORT <n>". Then reads one JSON command per line
from stdin and answers each with one JSON line on stdout:

  {"cmd": "set", "path": "/a?b=1", "status": 200, "reason": "OK", "body": "<base64>",
   "headers": {"Name": "value"}, "mode": "normal", ...}
      Serves the answer for requests whose target (path and query) is exactly "path", or, when no
      such answer exists, whose path without the query is "path". Modes:
        normal  status, headers and body with Content-Length
        hang    reads the request, then sends nothing until the client goes away
        close   reads the request, then closes the connection without a word
        drip    sends the body "chunk" bytes every "interval_ms" milliseconds, no Content-Length
        huge    sends "size" bytes of price-like text; Content-Length only if "announce" is true
  {"cmd": "clear"}     forgets every answer and every recorded request
  {"cmd": "requests"}  answers {"requests": [target, ...]} in arrival order
Unknown targets get 404. End of stdin stops the server.

With --tls CERT KEY the server speaks https.
"""

import base64
import json
import socket
import ssl
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

answers = {}
requests = []
lock = threading.Lock()
stopping = threading.Event()


def find_answer(target):
    with lock:
        if target in answers:
            return answers[target]
        return answers.get(target.split("?", 1)[0])


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        with lock:
            requests.append(self.path)
        answer = find_answer(self.path)
        if answer is None:
            answer = {"status": 404, "reason": "Not Found", "body": base64.b64encode(b"no such page").decode()}
        mode = answer.get("mode", "normal")
        try:
            getattr(self, "serve_" + mode)(answer)
        except (BrokenPipeError, ConnectionResetError, ssl.SSLError, OSError):
            self.close_connection = True

    def start(self, answer, length):
        self.send_response(answer.get("status", 200), answer.get("reason"))
        for name, value in answer.get("headers", {}).items():
            self.send_header(name, value)
        if length is None:
            self.send_header("Connection", "close")
            self.close_connection = True
        else:
            self.send_header("Content-Length", str(length))
        self.end_headers()

    def serve_normal(self, answer):
        body = base64.b64decode(answer.get("body", ""))
        self.start(answer, len(body))
        self.wfile.write(body)

    def serve_hang(self, answer):
        self.close_connection = True
        self.connection.settimeout(0.1)
        while not stopping.is_set():
            try:
                if not self.connection.recv(1024):
                    return
            except socket.timeout:
                continue

    def serve_close(self, answer):
        self.close_connection = True

    def serve_drip(self, answer):
        body = base64.b64decode(answer.get("body", ""))
        chunk = max(1, answer.get("chunk", 1))
        interval = answer.get("interval_ms", 100) / 1000.0
        self.start(answer, None)
        self.wfile.flush()
        for i in range(0, len(body), chunk):
            if stopping.wait(interval):
                return
            self.wfile.write(body[i:i + chunk])
            self.wfile.flush()

    def serve_huge(self, answer):
        size = answer.get("size", 5 * 1024 * 1024)
        self.start(answer, size if answer.get("announce") else None)
        line = b"2003-12-05,10.10,10.90,10.00,10.50,4200,10.50\n"
        block = line * (65536 // len(line))
        sent = 0
        while sent < size:
            part = block[: size - sent]
            self.wfile.write(part)
            sent += len(part)


def command(line):
    request = json.loads(line)
    cmd = request.get("cmd")
    with lock:
        if cmd == "set":
            answers[request["path"]] = request
            return {"ok": True}
        if cmd == "clear":
            answers.clear()
            requests.clear()
            return {"ok": True}
        if cmd == "requests":
            return {"requests": list(requests)}
    return {"error": "unknown command"}


def main():
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    if len(sys.argv) == 4 and sys.argv[1] == "--tls":
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(sys.argv[2], sys.argv[3])
        server.socket = context.wrap_socket(server.socket, server_side=True)
    threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.05}, daemon=True).start()
    print("PORT %d" % server.server_address[1], flush=True)
    for line in sys.stdin:
        if line.strip():
            print(json.dumps(command(line)), flush=True)
    stopping.set()
    server.shutdown()


if __name__ == "__main__":
    main()
