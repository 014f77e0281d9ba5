// SPDX-License-Identifier: GPL-3.0-or-later
// The shared port's listening socket and its programs on libindi's event loop.
#include "indi/SharedPort.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <indibase.h>
#include <indidevapi.h>

#include "indi/texts.h"

namespace indi_driver {

bool portValide(const std::string& port)
{
    if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const int n = std::stoi(port);
    return n >= 1 && n <= 65535;
}

namespace {
// More programs than this at once are turned away: each is a person at a keyboard.
constexpr int ProgrammesMax = 8;
constexpr int FileDAttente = 4;
constexpr std::size_t TailleLecture = 512;
// Refusals closer together than this are one burst, said once.
constexpr std::int64_t SilenceEntreRefusMs = 5000;

// "host:port" or "[v6]:port"; false when it is neither.
bool splitAddress(const std::string& address, std::string& host, std::string& port)
{
    const auto colon = address.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == address.size())
        return false;
    host = address.substr(0, colon);
    port = address.substr(colon + 1);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    return portValide(port);
}

std::string peerName(const sockaddr_storage& peer)
{
    char host[NI_MAXHOST] = "?";
    char port[NI_MAXSERV] = "?";
    ::getnameinfo(reinterpret_cast<const sockaddr*>(&peer), sizeof peer, host, sizeof host, port, sizeof port,
        NI_NUMERICHOST | NI_NUMERICSERV);
    return std::string(host) + ":" + port;
}
} // namespace

SharedPort::SharedPort(
    protocol::Loop& loop, protocol::AiguillageEvents events, std::function<void(const std::string&)> said)
    : loop(loop)
    , said(std::move(said))
    , switchboard(loop, [&] {
        events.versProgramme = [this](int id, const std::string& bytes) { send(id, bytes); };
        return std::move(events);
    }())
{
}

SharedPort::~SharedPort()
{
    for (int timer : dropTimers)
        loop.removeTimer(timer);
    while (!clients.empty())
        drop(clients.begin()->first);
    stopListening();
}

void SharedPort::stopListening()
{
    if (listenerCallback >= 0)
        IERmCallback(listenerCallback);
    listenerCallback = -1;
    if (listener >= 0)
        ::close(listener);
    listener = -1;
}

std::optional<std::string> SharedPort::listen(const std::string& address)
{
    std::string host;
    std::string port;
    char why[MAXRBUF];
    if (!splitAddress(address, host, port)) {
        std::snprintf(why, sizeof why, indi_texts::AdressePartagéeInvalide, address.c_str());
        return std::string(why);
    }
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    if (const int looked = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found); looked != 0)
        return std::string(::gai_strerror(looked));
    std::string reason;
    for (const addrinfo* a = found; a && listener < 0; a = a->ai_next) {
        const int s = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (s < 0) {
            reason = std::strerror(errno);
            continue;
        }
        const int on = 1;
        ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (::bind(s, a->ai_addr, a->ai_addrlen) == 0 && ::listen(s, FileDAttente) == 0) {
            listener = s;
        } else {
            reason = std::strerror(errno);
            ::close(s);
        }
    }
    ::freeaddrinfo(found);
    if (listener < 0)
        return reason;
    listenerCallback = IEAddCallback(listener, acceptable, this);
    return std::nullopt;
}

void SharedPort::acceptable(int, void* p)
{
    static_cast<SharedPort*>(p)->acceptOne();
}

void SharedPort::acceptOne()
{
    sockaddr_storage peer {};
    socklen_t length = sizeof peer;
    const int s
        = ::accept4(listener, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (s < 0)
        return;
    const std::string name = peerName(peer);
    if (clients.size() >= static_cast<std::size_t>(ProgrammesMax)) {
        // Said once per burst: a program that keeps trying must not flood every client's log.
        const std::int64_t now = loop.monotonicMs();
        if (lastRefusalMs < 0 || now - lastRefusalMs >= SilenceEntreRefusMs) {
            char message[MAXRBUF];
            std::snprintf(message, sizeof message, indi_texts::TropDeProgrammes, name.c_str(), ProgrammesMax);
            said(message);
        }
        lastRefusalMs = now;
        ::close(s);
        return;
    }
    // Each reply goes out as it is read, not held back to be joined with the next.
    const int on = 1;
    ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    const int id = nextId++;
    auto token = std::make_unique<std::pair<SharedPort*, int>>(this, id);
    clients[id] = Client { s, IEAddCallback(s, readable, token.get()), name };
    tokens[id] = std::move(token);
    switchboard.connecté(id);
    char message[MAXRBUF];
    std::snprintf(message, sizeof message, indi_texts::ProgrammeConnecté, name.c_str());
    said(message);
}

void SharedPort::readable(int, void* p)
{
    auto* token = static_cast<std::pair<SharedPort*, int>*>(p);
    token->first->read(token->second);
}

void SharedPort::read(int id)
{
    auto it = clients.find(id);
    if (it == clients.end())
        return;
    char buffer[TailleLecture];
    const ssize_t n = ::recv(it->second.fd, buffer, sizeof buffer, 0);
    if (n > 0) {
        switchboard.reçu(id, std::string_view(buffer, static_cast<std::size_t>(n)));
        return;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    drop(id);
}

void SharedPort::send(int id, const std::string& bytes)
{
    auto it = clients.find(id);
    if (it == clients.end())
        return;
    const ssize_t n = ::send(it->second.fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    // A program that has let its replies pile up past the socket's buffer is not listening.
    if (n != static_cast<ssize_t>(bytes.size()))
        dropLater(id);
}

void SharedPort::dropLater(int id)
{
    dropTimers.push_back(loop.addTimer(0, [this, id] { drop(id); }));
}

void SharedPort::drop(int id)
{
    auto it = clients.find(id);
    if (it == clients.end())
        return;
    IERmCallback(it->second.callback);
    ::close(it->second.fd);
    const std::string name = it->second.name;
    clients.erase(it);
    switchboard.déconnecté(id);
    tokens.erase(id);
    char message[MAXRBUF];
    std::snprintf(message, sizeof message, indi_texts::ProgrammeParti, name.c_str());
    said(message);
}

} // namespace indi_driver
