#!/usr/bin/python3
"""Load on a running tradevane-quoted for scripts/measure-quoted-load.sh.

  quoted-load.py latency PORT PID [SECONDS]
      keeps 8 slow clients (one header line every 2 s) and 2,000 idle connections (from 100
      loopback addresses, 20 each) open, reopening any the service closes, while a probe asks
      for a quote every 20 ms on a new connection; prints the probe's median and 95th
      percentile latency.
  quoted-load.py memory PORT PID
      10 clients send a request with 10,000 header lines each, then one client announces a
      4 GB body and sends for 5 s, while the service's resident memory is sampled.

Clients use addresses of 127.0.0.0/8 other than 127.0.0.1, which Linux routes to loopback, so
that the service can tell them apart from the probe.
"""

import selectors
import socket
import statistics
import sys
import threading
import time

QUOTE = b"GET /download/quotes.csv?format=sl&ext=.csv&symbols=abc HTTP/1.1\r\nHost: x\r\n"


def resident_mb(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024
    return 0.0


class Sampler(threading.Thread):
    """The service's largest resident memory while it runs."""

    def __init__(self, pid):
        super().__init__(daemon=True)
        self.pid, self.peak, self.running = pid, resident_mb(pid), True

    def run(self):
        while self.running:
            self.peak = max(self.peak, resident_mb(self.pid))
            time.sleep(0.02)

    def stop(self):
        self.running = False
        self.join()
        return self.peak


def connect(port, source):
    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    sock.bind((source, 0))
    sock.settimeout(10)
    sock.connect(("127.0.0.1", port))
    sock.setblocking(False)
    return sock


class Crowd(threading.Thread):
    """Idle connections and slow clients, each reopened when the service closes it."""

    def __init__(self, port, idle, addresses, slow, interval):
        super().__init__(daemon=True)
        self.port, self.interval = port, interval
        self.wanted = [("idle", f"127.0.0.{2 + i % addresses}") for i in range(idle)]
        self.wanted += [("slow", f"127.0.0.{200 + i}") for i in range(slow)]
        self.selector = selectors.DefaultSelector()
        self.running = True
        self.ready = threading.Event()
        self.closed = {"idle": 0, "slow": 0}
        self.answers = {}
        self.failed_opens = 0
        self.slow = {}  # socket: its state, for the slow clients only

    def open(self, index):
        kind, source = self.wanted[index]
        try:
            sock = connect(self.port, source)
            if kind == "slow":
                sock.send(QUOTE)
        except OSError:
            self.failed_opens += 1
            return False
        state = {"index": index, "line": 0, "due": time.monotonic() + self.interval}
        self.selector.register(sock, selectors.EVENT_READ, state)
        if kind == "slow":
            self.slow[sock] = state
        return True

    def run(self):
        for index in range(len(self.wanted)):
            self.open(index)
        self.ready.set()
        reopen = []
        while self.running:
            for key, _ in self.selector.select(timeout=0.05):
                state = key.data
                try:
                    data = key.fileobj.recv(4096)
                except OSError:
                    data = b""
                if data:
                    status = data[9:12].decode(errors="replace")
                    self.answers[status] = self.answers.get(status, 0) + 1
                self.selector.unregister(key.fileobj)
                self.slow.pop(key.fileobj, None)
                key.fileobj.close()
                self.closed[self.wanted[state["index"]][0]] += 1
                reopen.append((time.monotonic() + 0.1, state["index"]))
            now = time.monotonic()
            for sock, state in self.slow.items():
                if now >= state["due"]:
                    try:
                        sock.send(b"X-Slow-%d: 1\r\n" % state["line"])
                    except OSError:
                        pass
                    state["line"] += 1
                    state["due"] = now + self.interval
            due = [item for item in reopen if item[0] <= now]
            reopen = [item for item in reopen if item[0] > now]
            for _, index in due:
                if not self.open(index):
                    reopen.append((now + 0.1, index))
        for key in list(self.selector.get_map().values()):
            key.fileobj.close()

    def stop(self):
        self.running = False
        self.join()


def ask_quote(port):
    """Seconds for a quote on a new connection, or None when it failed."""
    start = time.perf_counter()
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=10) as sock:
            sock.sendall(QUOTE + b"Connection: close\r\n\r\n")
            answer = b""
            while chunk := sock.recv(4096):
                answer += chunk
    except OSError:
        return None
    if not answer.startswith(b"HTTP/1.1 200") or answer.count(b",") < 8:
        return None
    return time.perf_counter() - start


def latency(port, pid, seconds):
    sampler = Sampler(pid)
    sampler.start()
    crowd = Crowd(port, idle=2000, addresses=100, slow=8, interval=2.0)
    opening = time.monotonic()
    crowd.start()
    crowd.ready.wait()
    opened = time.monotonic() - opening
    times, failed = [], 0
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        took = ask_quote(port)
        if took is None:
            failed += 1
        else:
            times.append(took * 1000)
        time.sleep(0.02)
    crowd.stop()
    peak = sampler.stop()
    times.sort()
    median = statistics.median(times) if times else float("nan")
    p95 = times[int(0.95 * (len(times) - 1))] if times else float("nan")
    print(f"  2000 idle connections opened in {opened:.1f} s ({crowd.failed_opens} failed to open); "
          f"closed by the service and reopened: {crowd.closed['idle']} idle, {crowd.closed['slow']} slow; "
          f"answers to them: {dict(sorted(crowd.answers.items())) or 'none'}")
    print(f"  probe: {len(times)} quotes, {failed} failed; median {median:.1f} ms, 95th percentile {p95:.1f} ms "
          f"(target: median under 50 ms); service resident memory at most {peak:.0f} MB")
    return 0 if times and failed == 0 and median < 50 else 1


def flood(port, source, head, filler, total, seconds):
    """Sends `head`, then `filler` until `total` bytes or `seconds` have gone; the bytes of
    filler the connection took, and the status the service answered."""
    sent, answer, sock = 0, b"", None
    try:
        sock = connect(port, source)
        sock.settimeout(5)
        sock.sendall(head)
        end = time.monotonic() + seconds
        while sent < total and time.monotonic() < end:
            sock.sendall(filler)
            sent += len(filler)
    except OSError:
        pass
    if sock:
        try:
            answer = sock.recv(4096)
        except OSError:
            pass
        sock.close()
    return sent, answer[9:12].decode(errors="replace") if answer.startswith(b"HTTP/") else "none"


def memory(port, pid):
    before = resident_mb(pid)
    sampler = Sampler(pid)
    sampler.start()
    headers = b"".join(b"X-Header-%d: %s\r\n" % (i, b"v" * 16) for i in range(10000)) + b"\r\n"
    results = [None] * 10

    def client(i):
        results[i] = flood(port, f"127.0.0.{150 + i}", QUOTE, headers, len(headers), 30)

    threads = [threading.Thread(target=client, args=(i,)) for i in range(10)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    time.sleep(0.5)
    headers_peak = sampler.peak
    answers = {}
    for _, answer in results:
        answers[answer] = answers.get(answer, 0) + 1
    print(f"  10 clients x 10000 headers ({len(headers) // 1024} KB each): answers {answers}; "
          f"service resident memory {before:.0f} MB before, at most {headers_peak:.0f} MB "
          f"(target: under 64 MB)")
    body = b"POST /download/quotes.csv HTTP/1.1\r\nHost: x\r\nContent-Length: 4294967296\r\n\r\n"
    sent, answer = flood(port, "127.0.0.160", body, b"b" * 65536, 4 << 30, 5)
    time.sleep(0.5)
    peak = sampler.stop()
    after = resident_mb(pid)
    ok = ask_quote(port) is not None
    print(f"  POST announcing 4 GB, body sent for up to 5 s: answer {answer}, {sent // 1024} KB of body "
          f"taken before the connection ended; resident memory at most {peak:.0f} MB, {after:.0f} MB "
          f"after; a quote afterwards: {'answered' if ok else 'FAILED'}")
    return 0 if ok and peak < 64 else 1


def main():
    if len(sys.argv) < 4 or sys.argv[1] not in ("latency", "memory"):
        sys.exit(__doc__)
    port, pid = int(sys.argv[2]), int(sys.argv[3])
    if sys.argv[1] == "latency":
        return latency(port, pid, float(sys.argv[4]) if len(sys.argv) > 4 else 10)
    return memory(port, pid)


if __name__ == "__main__":
    sys.exit(main())
