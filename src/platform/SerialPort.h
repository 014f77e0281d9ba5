// SPDX-License-Identifier: GPL-3.0-or-later
// The serial control: the operations the program uses on its line to the mount controller.
#pragma once

#include <functional>
#include <string>

namespace platform {

// The most received characters a port holds in memory, and the most a wait reads at once. A
// reply is a few dozen characters: beyond this a peer is flooding the line, and the rest stays in
// the system's own bounded buffers, which hold the sender back.
inline constexpr int TamponRéceptionMax = 4096;

class SerialPort {
public:
    virtual ~SerialPort() = default;

    virtual void setCommPort(int number) = 0;
    virtual int commPort() const = 0;
    // The name shown to the user for the chosen port: "COM1", or the device given on the command line.
    virtual std::string portName() const = 0;
    // "9600,N,8,1": baud, parity, data bits, stop bits.
    virtual void setSettings(const std::string& settings) = 0;
    // Opens or closes the port; false when it could not be done. A close first lets what was
    // written leave the line (bounded to about a second), so a stop just written is sent.
    virtual bool setPortOpen(bool open) = 0;
    virtual bool portOpen() const = 0;
    // Count of received characters waiting; setting it to 0 discards them.
    virtual int inBufferCount() const = 0;
    virtual void setInBufferCount(int count) = 0;
    // Most characters one read returns.
    virtual void setInputLen(int length) = 0;
    // Queues the whole text for sending and returns at once; adds nothing to it.
    virtual void setOutput(const std::string& bytes) = 0;
    // Removes and returns the oldest waiting character(s), at most InputLen; empty at once when none.
    virtual std::string input() = 0;
    // True once the device has vanished (USB adapter pulled, far end closed), until it is opened again.
    virtual bool linkLost() const { return false; }
    // Called once, from the event loop, when the device vanishes.
    std::function<void()> onLinkLost;
};

} // namespace platform
