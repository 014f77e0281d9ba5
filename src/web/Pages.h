// SPDX-License-Identifier: GPL-3.0-or-later
// The live channels of the open pages: each one checked (Origin, token), limited in size, and
// joined to the mount; the mount's messages go to one page or to all.
#pragma once

#include <QObject>
#include <QWebSocket>
#include <map>

#include "web/Access.h"
#include "web/WebMount.h"

namespace web {

class Pages : public QObject {
public:
    Pages(const Access& access, WebMount& mount, QObject* parent = nullptr);
    ~Pages() override;
    // Takes the channel: refused (closed) when it does not come from the page, else joined.
    void open(QWebSocket* socket);
    std::size_t count() const { return sockets.size(); }

private:
    void deliver(int page, const QByteArray& message);

    const Access& access;
    WebMount& mount;
    int nextPage = 1;
    std::map<int, QWebSocket*> sockets;
};

} // namespace web
