// SPDX-License-Identifier: GPL-3.0-or-later
// The line to the controller as a non-blocking file descriptor: a serial device (9600 8N1) or a
// TCP bridge ("HOST:PORT"), and its closing, which never throws away what was written.
#pragma once

#include <string>

namespace web {

struct OpenedLine {
    int fd = -1;
    bool network = false;
    std::string error; // why it did not open, worded for the user
};

// A text starting with "/" or "COM" is a device; "HOST:PORT" (or "[::1]:PORT") a TCP bridge.
bool isNetworkAddress(const std::string& port);
OpenedLine openLine(const std::string& port);
// Lets what was written reach the controller (bounded), then closes.
void closeLine(OpenedLine& line);

} // namespace web
