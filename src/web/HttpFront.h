// SPDX-License-Identifier: GPL-3.0-or-later
// The one place that uses Qt HttpServer (a technical preview in Qt 6.4): it answers the page's
// requests from the program's resources and hands each live channel (WebSocket) over. A later Qt
// touches this file only.
#pragma once

#include <QAbstractHttpServer>
#include <QHostAddress>
#include <QWebSocket>
#include <functional>
#include <memory>

#include "web/Access.h"

class QTcpServer;

namespace web {

class HttpFront : public QAbstractHttpServer {
public:
    explicit HttpFront(const Access& access, QObject* parent = nullptr);
    // False with the system's reason when the address cannot be listened on.
    bool listen(const QHostAddress& address, quint16 port, QString& why);

    // A live channel was opened; the callee owns it.
    std::function<void(QWebSocket* socket)> channel;

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    const Access& access;
    QTcpServer* server = nullptr;
};

} // namespace web
