// SPDX-License-Identifier: GPL-3.0-or-later
// Closing a line to the controller without throwing away what was written: a stop written is not
// a stop sent until the line has drained. Works on a serial device, a pseudo-terminal and a TCP
// socket alike. Every call here is async-signal-safe, so a signal handler may use them too.
#pragma once

namespace protocol {

// The longest a close waits for the line to drain (at 9600 baud, about 900 characters).
constexpr int VidageMaxMs = 1000;

// Waits, at most maxMs, until every byte written to fd has left this machine: a serial device's
// output queue is empty, or a socket's data is acknowledged (a socket is shut down for writing
// first, so its end follows the data). Input is never flushed here, but a socket's is read and
// dropped, since a socket closed with unread input is reset. True when the line drained in time.
bool drainOutput(int fd, int maxMs = VidageMaxMs);

// Drains fd as above, then closes it. Nothing written is ever discarded here.
void closeDrained(int fd, int maxMs = VidageMaxMs);

} // namespace protocol
