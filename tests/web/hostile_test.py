#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""selvane-web under hostile clients, on the simulator: 10,000 malformed or oversized messages, 100
connections, a client that connects and says nothing. The server stays up, its memory flat, and
nothing but its own position queries reaches the line.  Usage: hostile_test.py SELVANE_WEB"""
import base64, os, re, signal, socket, subprocess, sys, time
sys.dont_write_bytecode = True  # the helper beside this script leaves nothing in the source tree
from start_web import start_web

failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)


server, P, _ = start_web([sys.argv[1], "--simulate", "--trace"], stderr=subprocess.PIPE)
def ws():
    s=socket.create_connection(("127.0.0.1",P))
    key=base64.b64encode(os.urandom(16)).decode()
    s.send(("GET /live HTTP/1.1\r\nHost: 127.0.0.1:%d\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Key: %s\r\nSec-WebSocket-Version: 13\r\nOrigin: http://127.0.0.1:%d\r\n\r\n"%(P,key,P)).encode())
    return s
def frame(payload, opcode=1):
    mask=os.urandom(4); n=len(payload)
    head=bytes([0x80|opcode])
    if n<126: head+=bytes([0x80|n])
    elif n<65536: head+=bytes([0x80|126])+n.to_bytes(2,'big')
    else: head+=bytes([0x80|127])+n.to_bytes(8,'big')
    return head+mask+bytes(b^mask[i%4] for i,b in enumerate(payload))
def rss():
    return int([l for l in open("/proc/%d/status" % server.pid) if l.startswith("VmRSS")][0].split()[1])
# sockets opened in rounds and closed: the count must come back
for r in range(3):
    cs=[ws() for _ in range(10)]; time.sleep(0.3)
    for c in cs: c.close()
    time.sleep(0.3)
s=ws(); silent=socket.create_connection(("127.0.0.1",P))
time.sleep(0.5); s.setblocking(False)
before = rss()
junk=[b"", b"{", b"[1,2]", b'{"t":"press","d":"X"}', b'{"t":"speed","i":99}', b'{"t":"answer","id":5,"ok":true}', b"\xff\xfe", b"x"*7000]
closes=0
for i in range(10000):
    try: s.send(frame(junk[i%len(junk)]))
    except BlockingIOError: time.sleep(0.01)
    except (ConnectionResetError, BrokenPipeError):
        closes+=1; s=ws(); time.sleep(0.05); s.setblocking(False)
print("server closed the channel", closes, "times (invalid UTF-8 or too large)")
time.sleep(1)
if os.environ.get("SELVANE_SANITIZED"):
    print("memory not judged under AddressSanitizer: %d kB, then %d kB" % (before, rss()))
else:
    check(rss() - before < 4096, "memory flat after 10,000 messages: %d kB, then %d kB" % (before, rss()))
big=ws(); time.sleep(0.3); big.send(frame(b"x"*20000)); time.sleep(0.5)
big.settimeout(1)
try:
    d=big.recv(100000); check(not d or b'\x88' in d, "an oversized message closes the channel")
except Exception as e: check(False, "an oversized message closes the channel: %s" % e)
time.sleep(11)
s.setblocking(True); s.settimeout(1)
try:
    d=s.recv(100000); check(len(d) > 0, "a live channel stays open past the idle limit")
except socket.timeout: check(True, "a live channel stays open past the idle limit")
silent.settimeout(1)
try: check(silent.recv(10) == b'', "a client that says nothing is closed")
except Exception as e: check(False, "a client that says nothing is closed: %s" % e)
conns=[socket.create_connection(("127.0.0.1",P)) for i in range(100)]
time.sleep(0.5); codes={}
for c in conns:
    c.settimeout(0.2)
    try: r=c.recv(100); k=r[:12].decode(); codes[k]=codes.get(k,0)+1
    except socket.timeout: codes['open']=codes.get('open',0)+1
check(14 <= codes.get("open", 0) <= 16 and codes.get("open", 0) + codes.get("HTTP/1.1 503", 0) == 100, "of 100 connections 16 are taken, the others get 503: %s" % codes)
check(server.poll() is None, "the server is still up")
server.send_signal(signal.SIGTERM)
_, trace = server.communicate(timeout=10)
written = [c for c in re.findall(r'-> "(.*)"', trace) if c not in (":R#", ":D#")]
check(written == [], "nothing but position queries on the line: %s" % written[:5])
print("%d failure(s)" % len(failures))
sys.exit(1 if failures else 0)
