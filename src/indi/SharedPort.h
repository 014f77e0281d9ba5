// SPDX-License-Identifier: GPL-3.0-or-later
// The shared port's sockets: a TCP listening port on libindi's event loop, and the programs
// connected there, whose bytes go to and come from the line's switchboard (protocol::Aiguillage).
// Every socket is non-blocking; nothing here waits.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "protocol/SharedLine.h"

namespace indi_driver {

// A TCP port number as typed: 1 to 5 digits, 1 to 65535.
bool portValide(const std::string& port);

class SharedPort {
public:
    // events: the switchboard's, but for versProgramme, which is this port's.
    // said: a line for the driver's log (a program came or went).
    SharedPort(protocol::Loop& loop, protocol::AiguillageEvents events,
        std::function<void(const std::string&)> said);
    ~SharedPort();
    SharedPort(const SharedPort&) = delete;
    SharedPort& operator=(const SharedPort&) = delete;

    // Listens at "host:port" ("[::1]:7625" for an IPv6 address); the reason when it cannot.
    std::optional<std::string> listen(const std::string& address);
    // Stops listening now (the address is free again); the programs go with the port.
    void stopListening();
    protocol::Aiguillage& aiguillage() { return switchboard; }

private:
    struct Client {
        int fd = -1;
        int callback = -1;
        std::string name;
    };
    static void acceptable(int fd, void* p);
    static void readable(int fd, void* p);
    void acceptOne();
    void read(int id);
    void send(int id, const std::string& bytes);
    // Ends a program's connection once the loop is back (it may be inside the switchboard).
    void dropLater(int id);
    void drop(int id);

    protocol::Loop& loop;
    std::function<void(const std::string&)> said;
    protocol::Aiguillage switchboard;
    int listener = -1;
    int listenerCallback = -1;
    int nextId = 1;
    // When a program was last refused for want of room (-1: never).
    std::int64_t lastRefusalMs = -1;
    std::map<int, Client> clients;
    std::vector<int> dropTimers;
    // The callbacks hand back one pointer: this port and the program.
    std::map<int, std::unique_ptr<std::pair<SharedPort*, int>>> tokens;
};

} // namespace indi_driver
