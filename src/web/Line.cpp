// SPDX-License-Identifier: GPL-3.0-or-later
// Opening and closing the controller's line for the web front end.
#include "web/Line.h"

#include <cerrno>
#include <cstring>

#include <QString>
#include <fcntl.h>
#include <grp.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "platform/line_texts.h"
#include "protocol/drain.h"
#include "web/texts.h"

namespace web {

namespace {

std::string worded(const char* pattern, const std::string& a, const std::string& b = {})
{
    return QString::fromUtf8(pattern).arg(QString::fromStdString(a), QString::fromStdString(b)).toStdString();
}

std::string deviceFailure(const std::string& path, int error)
{
    struct stat info { };
    if (::stat(path.c_str(), &info) != 0)
        return web_texts::AucunPériphérique.texte();
    if (error == EACCES || error == EPERM) {
        const struct group* owner = ::getgrgid(info.st_gid);
        return worded(platform_texts::AccèsRefusé, owner ? owner->gr_name : std::to_string(info.st_gid));
    }
    return worded(platform_texts::DéjàUtilisé, std::strerror(error));
}

std::string connectFailure(int error)
{
    if (error == ECONNREFUSED)
        return platform_texts::ConnexionRefusée.texte();
    return worded(platform_texts::ConnexionImpossible, std::strerror(error));
}

OpenedLine openDevice(const std::string& path)
{
    OpenedLine line;
    line.fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (line.fd < 0) {
        line.error = worded(web_texts::PortIndisponible, path, deviceFailure(path, errno));
        return line;
    }
    termios t {};
    if (::tcgetattr(line.fd, &t) == 0) {
        ::cfmakeraw(&t);
        ::cfsetispeed(&t, B9600);
        ::cfsetospeed(&t, B9600);
        t.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CSIZE);
        t.c_cflag |= CS8 | CLOCAL | CREAD;
        ::tcsetattr(line.fd, TCSANOW, &t);
    }
    ::tcflush(line.fd, TCIFLUSH); // what waited on the line answers nothing we asked
    return line;
}

OpenedLine openSocket(const std::string& address)
{
    OpenedLine line;
    line.network = true;
    const std::size_t colon = address.rfind(':');
    std::string host = address.substr(0, colon);
    const std::string port = address.substr(colon + 1);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (const int looked = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found); looked != 0) {
        line.error = worded(web_texts::PortIndisponible, address, platform_texts::HôteInconnu.texte());
        return line;
    }
    std::string why;
    for (addrinfo* a = found; a && line.fd < 0; a = a->ai_next) {
        const int s = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (s < 0) {
            why = connectFailure(errno);
            continue;
        }
        if (::connect(s, a->ai_addr, a->ai_addrlen) != 0 && errno != EINPROGRESS) {
            why = connectFailure(errno);
            ::close(s);
            continue;
        }
        pollfd p { s, POLLOUT, 0 };
        if (::poll(&p, 1, web_limits::ConnexionRéseauMaxMs) == 0) {
            why = worded(platform_texts::HôteMuet, std::to_string(web_limits::ConnexionRéseauMaxMs / 1000));
            ::close(s);
            continue;
        }
        int error = 0;
        socklen_t length = sizeof error;
        ::getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &length);
        if (error != 0) {
            why = connectFailure(error);
            ::close(s);
            continue;
        }
        // Each command goes out as it is written.
        const int on = 1;
        ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        line.fd = s;
    }
    ::freeaddrinfo(found);
    if (line.fd < 0)
        line.error = worded(web_texts::PortIndisponible, address, why);
    return line;
}

} // namespace

bool isNetworkAddress(const std::string& port)
{
    if (port.empty() || port.front() == '/' || port.rfind("COM", 0) == 0)
        return false;
    const std::size_t colon = port.rfind(':');
    return colon != std::string::npos && colon + 1 < port.size()
        && port.find_first_not_of("0123456789", colon + 1) == std::string::npos;
}

OpenedLine openLine(const std::string& port)
{
    return isNetworkAddress(port) ? openSocket(port) : openDevice(port);
}

void closeLine(OpenedLine& line)
{
    // What was written (a stop) leaves before the line ends, within a bounded wait.
    protocol::closeDrained(line.fd);
    line.fd = -1;
}

} // namespace web
