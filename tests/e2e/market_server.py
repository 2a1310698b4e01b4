#!/usr/bin/python3
"""A quote server for the end-to-end run: a year of quiet daily bars around 10.00 for any
symbol, and a quote of 12.50 on five times the usual volume; NAS's quote has "N/A" for its change
and open, and BAD has no quote at all. Prints "READY <port>"."""
import http.server
import math
import sys


def history():
    lines = ["Date,Open,High,Low,Close,Volume,Adj Close"]
    for i in range(252):
        close = 10 + 0.5 * math.sin(i / 5.0)
        lines.append(f"2026-01-01,{close - 0.05:.2f},{close + 0.2:.2f},{close - 0.2:.2f},{close:.2f},1000,{close:.2f}")
    return ("\n".join(lines) + "\n").encode()


QUOTE = b'"ABC",12.50,"12/7/2026","10:00am",+2.50,12.00,12.60,11.90,5000\r\n'
NOT_AVAILABLE = b'"NAS",5.10,"12/7/2026","10:00am",N/A,N/A,5.20,5.00,900\r\n'
HISTORY = history()


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        path = self.path.lower()
        if "quotes.csv" in path:
            body = b"" if "bad" in path else NOT_AVAILABLE if "nas" in path else QUOTE
        else:
            body = HISTORY if path.startswith("/table.csv") else b""
        self.send_response(200 if body else 404)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
print("READY", server.server_address[1], flush=True)
server.serve_forever()
