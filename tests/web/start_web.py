# SPDX-License-Identifier: GPL-3.0-or-later
"""selvane-web started on a free port, for the web tests."""
import socket, subprocess, sys


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def start_web(arguments, host="127.0.0.1", stderr=subprocess.DEVNULL):
    """selvane-web ARGUMENTS --listen HOST:<a free port>: the process, its port and the address it
    printed. The port may be taken before the server binds it; it then ends at once and another is tried."""
    for _ in range(3):
        port = free_port()
        process = subprocess.Popen(arguments + ["--listen", "%s:%d" % (host, port)], stdout=subprocess.PIPE,
                                   stderr=stderr, text=True)
        url = process.stdout.readline().strip()
        if url:
            return process, port, url
        process.wait(5)
    sys.exit("selvane-web did not start")
