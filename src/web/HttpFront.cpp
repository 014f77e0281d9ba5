// SPDX-License-Identifier: GPL-3.0-or-later
// The page's requests, answered from Qt resources, and the live channels handed over.
#include "web/HttpFront.h"

#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>
#include <map>

#include "web/texts.h"

namespace web {

namespace {

using Status = QHttpServerResponder::StatusCode;

// The page's own files: the path asked, the resource, its type. Nothing else is served.
struct Asset {
    const char* resource;
    const char* type;
};
const std::map<QString, Asset>& assets()
{
    static const std::map<QString, Asset> table {
        { "/", { ":/web/index.html", "text/html; charset=utf-8" } },
        { "/index.html", { ":/web/index.html", "text/html; charset=utf-8" } },
        { "/style.css", { ":/web/style.css", "text/css; charset=utf-8" } },
        { "/app.js", { ":/web/app.js", "text/javascript; charset=utf-8" } },
        { "/night.js", { ":/web/night.js", "text/javascript; charset=utf-8" } },
    };
    return table;
}

// Only the page's own scripts and styles, and its live channel to where it came from.
constexpr const char* Politique
    = "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' data:; "
      "connect-src 'self'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";

// Set on a connection once a whole request came on it.
constexpr const char* ARépondu = "selvane-answered";

// Refuses connections beyond the limit with a status a browser shows, and closes those that send
// no whole request in time (a client that connects and says nothing, or dribbles).
class LimitedServer : public QTcpServer {
public:
    using QTcpServer::QTcpServer;

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto* socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        if (open >= web_limits::ConnexionsMax) {
            // Qt HttpServer never saw this connection: a fixed answer and the door closed.
            socket->write(
                "HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            socket->disconnectFromHost();
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            return;
        }
        ++open;
        // Counted until the socket goes, also after a live channel took it over (which drops every
        // connection made to the socket's own signals): a child of it says when.
        auto* sentinel = new QObject(socket);
        connect(sentinel, &QObject::destroyed, this, [this] { --open; });
        QPointer<QTcpSocket> guarded(socket);
        QTimer::singleShot(web_limits::InactivitéMaxMs, this, [guarded] {
            if (guarded && !guarded->property(ARépondu).toBool())
                guarded->abort();
        });
        addPendingConnection(socket);
    }

private:
    int open = 0;
};

void respond(QHttpServerResponder& responder, Status status, const QByteArray& type, const QByteArray& body,
    const QByteArray& cookie = {})
{
    responder.writeStatusLine(status);
    responder.writeHeader("Content-Type", type);
    responder.writeHeader("Content-Length", QByteArray::number(body.size()));
    responder.writeHeader("Content-Security-Policy", Politique);
    responder.writeHeader("X-Content-Type-Options", "nosniff");
    responder.writeHeader("Referrer-Policy", "no-referrer");
    responder.writeHeader("Cache-Control", "no-store");
    if (!cookie.isEmpty())
        responder.writeHeader("Set-Cookie", cookie);
    responder.writeBody(body);
}

void refuse(QHttpServerResponder& responder, Status status, const char* text)
{
    respond(responder, status, "text/plain; charset=utf-8", QByteArray(text) + '\n');
}

} // namespace

HttpFront::HttpFront(const Access& access, QObject* parent)
    : QAbstractHttpServer(parent)
    , access(access)
{
    connect(this, &QAbstractHttpServer::newWebSocketConnection, this, [this] {
        while (hasPendingWebSocketConnections()) {
            QWebSocket* socket = nextPendingWebSocketConnection().release();
            if (channel)
                channel(socket);
            else
                socket->deleteLater();
        }
    });
}

bool HttpFront::listen(const QHostAddress& address, quint16 port, QString& why)
{
    server = new LimitedServer(this);
    if (!server->listen(address, port)) {
        why = server->errorString();
        return false;
    }
    bind(server);
    return true;
}

bool HttpFront::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket)
{
    socket->setProperty(ARépondu, true);
    QHttpServerResponder responder = makeResponder(request, socket);
    const QByteArray host = request.value("Host");
    if (request.body().size() > web_limits::TailleMaxMessage) {
        refuse(responder, Status::PayloadTooLarge, "413 trop grand");
        return true;
    }
    if (request.url().toEncoded().size() > web_limits::TailleMaxMessage) {
        refuse(responder, Status::UriTooLong, "414 adresse trop longue");
        return true;
    }
    const QByteArray queryToken = request.query().queryItemValue(Access::ParamètreJeton).toLatin1();
    // Qt 6.4 asks here first, then turns a WebSocket request into a live channel whatever the answer.
    const bool upgrade = request.value("Upgrade").compare("websocket", Qt::CaseInsensitive) == 0;
    if (!access.allowed(host, request.value("Cookie"), queryToken)
        || (upgrade && !access.originAllowed(request.value("Origin"), host))) {
        refuse(responder, Status::Forbidden, "403 interdit : ouvrez l'adresse affichée par selvane-web");
        if (upgrade) {
            // The refusal goes out now, and the connection ends before it can be taken over.
            socket->flush();
            socket->abort();
        }
        return true;
    }
    if (upgrade)
        return true;
    if (request.method() != QHttpServerRequest::Method::Get) {
        refuse(responder, Status::MethodNotAllowed, "405");
        return true;
    }
    const auto asset = assets().find(request.url().path());
    if (asset == assets().end()) {
        refuse(responder, Status::NotFound, "404");
        return true;
    }
    QFile file(QString::fromLatin1(asset->second.resource));
    file.open(QIODevice::ReadOnly);
    // The token given in the address becomes a cookie, so the page's own requests carry it.
    const bool setCookie = !access.token().isEmpty() && Access::sameToken(queryToken, access.token());
    respond(responder, Status::Ok, asset->second.type, file.readAll(),
        setCookie ? access.cookie() : QByteArray());
    return true;
}

void HttpFront::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket)
{
    QHttpServerResponder responder = makeResponder(request, socket);
    refuse(responder, Status::NotFound, "404");
}

} // namespace web
