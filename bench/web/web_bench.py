#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The figures of selvane-web: the page's weight, the time from a reply read to the position on a
page, from a press on a page to the first byte on the line, the server's CPU with 5 pages open and
idle, and its memory. The controller is played here on a pseudo-terminal, so both ends of each
time are read on this process's clock; the pages are WebSocket clients speaking as the page does.
Usage: web_bench.py SELVANE_WEB"""
import base64, json, os, pty, select, socket, statistics, subprocess, sys, termios, time, tty, urllib.request

WEB = sys.argv[1]
REPLY = b":+000,+00000#"
ASSETS = ("/", "/style.css", "/app.js", "/night.js")


class Controller:
    """The far end of the line: answers the position queries at once, notes when bytes arrive."""
    def __init__(self):
        self.master, slave = pty.openpty()
        tty.setraw(self.master)
        self.path = os.ttyname(slave)
        self.buffer = b""
        self.replied_at = None

    def pump(self, timeout):
        """Reads what came; answers queries; returns when the first byte came, or None."""
        first = None
        ready, _, _ = select.select([self.master], [], [], timeout)
        if not ready:
            return None
        data = os.read(self.master, 4096)
        first = time.monotonic()
        self.buffer += data
        while b"#" in self.buffer:
            command, self.buffer = self.buffer.split(b"#", 1)
            if command.strip().endswith(b":R") or command.strip().endswith(b":D"):
                os.write(self.master, REPLY)
                if command.strip().endswith(b":D"):
                    self.replied_at = time.monotonic()
        return first


class Page:
    def __init__(self, port):
        self.s = socket.create_connection(("127.0.0.1", port))
        key = base64.b64encode(os.urandom(16)).decode()
        self.s.send(("GET /live HTTP/1.1\r\nHost: 127.0.0.1:%d\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                     "Sec-WebSocket-Key: %s\r\nSec-WebSocket-Version: 13\r\nOrigin: http://127.0.0.1:%d\r\n\r\n"
                     % (port, key, port)).encode())
        self.buffer = b""
        while b"\r\n\r\n" not in self.buffer:
            self.buffer += self.s.recv(4096)
        self.buffer = self.buffer.split(b"\r\n\r\n", 1)[1]

    def send(self, message):
        payload = json.dumps(message).encode()
        mask = os.urandom(4)
        self.s.send(bytes([0x81, 0x80 | len(payload)]) + mask + bytes(b ^ mask[i % 4] for i, b in enumerate(payload)))

    def messages(self, timeout):
        """The text messages that arrive within timeout."""
        self.s.settimeout(timeout)
        try:
            self.buffer += self.s.recv(65536)
        except socket.timeout:
            pass
        out = []
        while len(self.buffer) >= 2:
            n = self.buffer[1] & 0x7F
            start = 2
            if n == 126:
                n, start = int.from_bytes(self.buffer[2:4], "big"), 4
            if len(self.buffer) < start + n:
                break
            out.append(json.loads(self.buffer[start:start + n]))
            self.buffer = self.buffer[start + n:]
        return out


def main():
    controller = Controller()
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
    server = subprocess.Popen([WEB, "--port", controller.path, "--listen", "127.0.0.1:%d" % port],
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    time.sleep(0.5)
    while controller.pump(0.2):
        pass
    server.stdout.readline()
    weight = sum(len(urllib.request.urlopen("http://127.0.0.1:%d%s" % (port, a)).read()) for a in ASSETS)

    page = Page(port)
    page.messages(0.3)
    # From the reply read to the position on the page: the next queries, each answered at once.
    to_page = []
    while len(to_page) < 8:
        controller.pump(0.05)
        for m in page.messages(0.01):
            if m.get("t") == "pos" and controller.replied_at:
                to_page.append((time.monotonic() - controller.replied_at) * 1000)
                controller.replied_at = None
    # From a press to the first byte on the line.
    to_line = []
    for i in range(20):
        while controller.pump(0.05):
            pass
        pressed = time.monotonic()
        page.send({"t": "press", "d": "N"})
        first = controller.pump(1)
        to_line.append((first - pressed) * 1000)
        page.send({"t": "release", "d": "N"})
        time.sleep(0.05)
        page.messages(0.01)
    # CPU and memory with 5 pages open and idle (the position still read every 3 s).
    pages = [page] + [Page(port) for _ in range(4)]
    ticks = os.sysconf("SC_CLK_TCK")

    def cpu():
        fields = open("/proc/%d/stat" % server.pid).read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / ticks
    start_cpu, start = cpu(), time.monotonic()
    while time.monotonic() - start < 15:
        controller.pump(0.1)
        for p in pages:
            p.messages(0.001)
    load = (cpu() - start_cpu) / (time.monotonic() - start) * 100
    rss = int([l for l in open("/proc/%d/status" % server.pid) if l.startswith("VmRSS")][0].split()[1]) / 1024
    server.terminate()
    server.wait(5)

    print("selvane-web                                   measured      limit")
    print("page weight, all assets                       %6.1f KB    100 KB" % (weight / 1024))
    print("reply read -> position on a page, median      %6.2f ms     20 ms" % statistics.median(to_page))
    print("press on a page -> first byte on line, median %6.2f ms     20 ms" % statistics.median(to_line))
    print("CPU with 5 pages open and idle                %6.2f %%     0.5 %%" % load)
    print("memory (resident)                             %6.1f MB     40 MB" % rss)


main()
