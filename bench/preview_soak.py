#!/usr/bin/env python3
"""Soak of the preview host under hostile clients, on loopback only.

Starts ordwick-preview on a small site of its own and, for a bounded time,
runs at once: a flood of padded request heads, slow clients sending one header
line every few seconds, one session holding its page with more of its requests
waiting, pages stuck in an endless statement, and requests naming another
host. A well-behaved client asks for a page and a static file ten times a
second throughout. Prints what each attacker got, the probe's answer times
and failures, and the host's memory at the start, at its peak and at the end.

Usage: bench/preview_soak.py [--preview build/bin/ordwick-preview] [--seconds 60]
"""
import argparse
import os
import re
import select
import socket
import subprocess
import sys
import tempfile
import threading
import time
from collections import Counter

PAGES = {
    "default.asp": '<%@ Language="JScript" %><%\n'
    'var c = Server.CreateObject("ADODB.Connection");\n'
    'c.Open("Driver={SQLite3}; Database=" + Server.MapPath("db/soak.db"));\n'
    'var rs = c.Execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n '
    'WHERE i < 20) SELECT i FROM n");\n'
    'while (!rs.EOF) { Response.Write(rs("i") + " "); rs.MoveNext(); }\n'
    "c.Close();\n%>",
    "hold.asp": '<%@ Language="JScript" %><%\n'
    'Session("held") = 1;\n'
    "var until = new Date().getTime() + 5000;\n"
    "while (new Date().getTime() < until) {}\n"
    'Response.Write("held");\n%>',
    "endless.asp": '<%@ Language="JScript" %><%\n'
    "Server.ScriptTimeout = 2;\n"
    'var c = Server.CreateObject("ADODB.Connection");\n'
    'c.Open("Driver={SQLite3}; Database=" + Server.MapPath("db/soak.db"));\n'
    'c.Execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) '
    'SELECT count(*) FROM n");\n%>',
    "greedy.asp": '<%@ Language="JScript" %><%\n'
    'var kept = [], part = new Array(100001).join("x");\n'
    "while (true) kept.push(part + kept.length);\n%>",
    "style.css": "body { color: black; }\n",
}


def rss_kib(pid, field="VmRSS"):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    return 0


def exchange(port, data, timeout=5.0):
    """Sends data on a new connection; the status of the answer, or an error name."""
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as s:
        s.sendall(data)
        answer = b""
        while b"\r\n" not in answer:
            part = s.recv(4096)
            if not part:
                break
            answer += part
        m = re.match(rb"HTTP/1\.[01] (\d{3})", answer)
        return int(m.group(1)) if m else "closed"


def request(port, path, extra=b""):
    return (b"GET " + path.encode() + b" HTTP/1.1\r\nHost: 127.0.0.1:%d\r\n" % port + extra +
            b"Connection: close\r\n\r\n")


class Soak:
    def __init__(self, port, seconds):
        self.port = port
        self.deadline = time.monotonic() + seconds
        self.results = {name: Counter() for name in
                        ("flood", "slow", "session", "endless", "greedy", "rebinding", "probe")}
        self.probe_times = []
        self.lock = threading.Lock()

    def running(self):
        return time.monotonic() < self.deadline

    def count(self, attack, outcome):
        with self.lock:
            self.results[attack][str(outcome)] += 1

    def attempt(self, attack, action):
        try:
            self.count(attack, action())
        except OSError as e:
            self.count(attack, type(e).__name__)

    def flood(self):
        pad = b"X-Pad: " + b"p" * 8000 + b"\r\n"

        def one():
            with socket.create_connection(("127.0.0.1", self.port), timeout=10) as s:
                s.sendall(b"GET /default.asp HTTP/1.1\r\nHost: 127.0.0.1:%d\r\n" % self.port)
                try:
                    for _ in range(250):  # 2 MB of head
                        s.sendall(pad)
                    s.sendall(b"\r\n")
                except OSError:
                    pass
                answer = s.recv(64)
                m = re.match(rb"HTTP/1\.[01] (\d{3})", answer)
                return int(m.group(1)) if m else "closed"
        while self.running():
            self.attempt("flood", one)

    def slow(self):
        while self.running():
            try:
                with socket.create_connection(("127.0.0.1", self.port), timeout=30) as s:
                    s.sendall(b"GET /default.asp HTTP/1.1\r\nHost: 127.0.0.1:%d\r\n" % self.port)
                    outcome = "gave up"
                    while self.running():
                        time.sleep(4)
                        s.sendall(b"X-Slow: 1\r\n")
                        if select.select([s], [], [], 0)[0]:
                            m = re.match(rb"HTTP/1\.[01] (\d{3})", s.recv(64))
                            outcome = int(m.group(1)) if m else "closed"
                            break
                self.count("slow", outcome)
            except OSError as e:
                self.count("slow", "cut off: " + type(e).__name__)

    def session(self):
        cookie = b""
        first = socket.create_connection(("127.0.0.1", self.port), timeout=30)
        first.sendall(request(self.port, "/hold.asp"))
        head = first.recv(4096)
        first.close()
        m = re.search(rb"Set-Cookie: ([^;\r]+)", head)
        if m:
            cookie = b"Cookie: " + m.group(1) + b"\r\n"

        def one():
            return exchange(self.port, request(self.port, "/hold.asp", cookie), timeout=120)
        workers = []
        while self.running():
            workers = [w for w in workers if w.is_alive()]
            while len(workers) < 9:
                w = threading.Thread(target=self.attempt, args=("session", one))
                w.start()
                workers.append(w)
            time.sleep(0.2)
        for w in workers:
            w.join()

    def endless(self):
        while self.running():
            self.attempt("endless", lambda: exchange(self.port, request(self.port, "/endless.asp"),
                                                     timeout=30))

    def greedy(self):
        while self.running():
            self.attempt("greedy", lambda: exchange(self.port, request(self.port, "/greedy.asp"),
                                                    timeout=120))

    def rebinding(self):
        while self.running():
            self.attempt("rebinding", lambda: exchange(
                self.port, b"GET /default.asp HTTP/1.1\r\nHost: evil.example\r\n"
                b"Connection: close\r\n\r\n"))
            time.sleep(0.05)

    def probe(self):
        paths = ["/default.asp", "/style.css"]
        i = 0
        while self.running():
            path = paths[i % 2]
            i += 1
            start = time.monotonic()
            try:
                status = exchange(self.port, request(self.port, path), timeout=1.0)
                elapsed = time.monotonic() - start
                with self.lock:
                    self.probe_times.append(elapsed)
                self.count("probe", status if status == 200 else f"failed {status}")
            except OSError as e:
                self.count("probe", "failed " + type(e).__name__)
            time.sleep(max(0.0, 0.1 - (time.monotonic() - start)))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--preview", default=os.path.join(here, "..", "build", "bin", "ordwick-preview"))
    parser.add_argument("--seconds", type=float, default=60)
    args = parser.parse_args()

    with tempfile.TemporaryDirectory(prefix="ordwick-soak-") as site:
        os.mkdir(os.path.join(site, "db"))
        open(os.path.join(site, "db", "soak.db"), "wb").close()
        for name, text in PAGES.items():
            with open(os.path.join(site, name), "w") as f:
                f.write(text)
        host = subprocess.Popen([args.preview, site, "--no-browser", "--no-token",
                                 "--memory-limit", "512"],
                                stdout=subprocess.PIPE, text=True)
        port = None
        for line in host.stdout:
            m = re.search(r"http://127\.0\.0\.1:(\d+)/", line)
            if m:
                port = int(m.group(1))
                break
        if port is None:
            sys.exit("ordwick-preview did not print its address")
        exchange(port, request(port, "/default.asp"))
        memory_start = rss_kib(host.pid)

        soak = Soak(port, args.seconds)
        attackers = [threading.Thread(target=soak.flood) for _ in range(2)]
        attackers += [threading.Thread(target=soak.slow) for _ in range(8)]
        attackers += [threading.Thread(target=soak.session), threading.Thread(target=soak.endless),
                      threading.Thread(target=soak.greedy), threading.Thread(target=soak.rebinding)]
        prober = threading.Thread(target=soak.probe)
        peak = memory_start
        for t in attackers + [prober]:
            t.start()
        while soak.running():
            peak = max(peak, rss_kib(host.pid))
            time.sleep(0.5)
        for t in attackers + [prober]:
            t.join()
        # A moment for the last pages and connections to end.
        settle = time.monotonic() + 5
        while time.monotonic() < settle:
            peak = max(peak, rss_kib(host.pid))
            time.sleep(0.5)
        memory_end = rss_kib(host.pid)

        stop_start = time.monotonic()
        host.send_signal(2)
        host.wait(timeout=30)
        stopped_in = time.monotonic() - stop_start

    times = sorted(soak.probe_times)
    def pct(p):
        return times[min(len(times) - 1, int(len(times) * p))] * 1000 if times else float("nan")
    print(f"soak of {args.seconds:.0f} s on 127.0.0.1:{port}")
    for name, outcomes in soak.results.items():
        print(f"  {name:10} " + ", ".join(f"{k}: {v}" for k, v in sorted(outcomes.items())))
    print(f"  probe answer times: median {pct(0.5):.1f} ms, 99% {pct(0.99):.1f} ms, "
          f"max {pct(1.0):.1f} ms over {len(times)} requests")
    print(f"  host memory (RSS): start {memory_start / 1024:.1f} MB, peak {peak / 1024:.1f} MB, "
          f"end {memory_end / 1024:.1f} MB")
    print(f"  Ctrl+C to exit: {stopped_in:.2f} s")


if __name__ == "__main__":
    main()
