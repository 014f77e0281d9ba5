// SPDX-License-Identifier: GPL-3.0-or-later
// The pages' live channels and their checks.
#include "web/Pages.h"

#include <QNetworkRequest>
#include <QUrlQuery>

#include "web/texts.h"

namespace web {

Pages::Pages(const Access& access, WebMount& mount, QObject* parent)
    : QObject(parent)
    , access(access)
    , mount(mount)
{
    mount.send = [this](int page, const QByteArray& message) { deliver(page, message); };
}

Pages::~Pages()
{
    for (auto& [page, socket] : sockets) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
}

void Pages::open(QWebSocket* socket)
{
    const QNetworkRequest request = socket->request();
    const QByteArray host = request.rawHeader("Host");
    const QByteArray queryToken = QUrlQuery(request.url()).queryItemValue(Access::ParamètreJeton).toLatin1();
    // Another site's page in the same browser would carry the cookie: its Origin gives it away.
    if (!access.originAllowed(socket->origin().toUtf8(), host)
        || !access.allowed(host, request.rawHeader("Cookie"), queryToken)) {
        socket->close(QWebSocketProtocol::CloseCodePolicyViolated);
        socket->deleteLater();
        return;
    }
    socket->setMaxAllowedIncomingMessageSize(web_limits::TailleMaxMessage);
    socket->setMaxAllowedIncomingFrameSize(web_limits::TailleMaxMessage);
    const int page = nextPage++;
    sockets[page] = socket;
    connect(socket, &QWebSocket::textMessageReceived, this,
        [this, page](const QString& text) { mount.receive(page, text.toUtf8()); });
    connect(socket, &QWebSocket::disconnected, this, [this, page, socket] {
        sockets.erase(page);
        mount.leave(page);
        socket->deleteLater();
    });
    // The page's language, chosen by its browser's languages: "fr" or "en"; anything else, the server's.
    mount.join(page, langue::lire(QUrlQuery(request.url()).queryItemValue(QStringLiteral("langue")).toStdString()));
}

void Pages::deliver(int page, const QByteArray& message)
{
    const QString text = QString::fromUtf8(message);
    if (page != WebMount::ToutesLesPages) {
        if (const auto s = sockets.find(page); s != sockets.end())
            s->second->sendTextMessage(text);
        return;
    }
    for (const auto& [number, socket] : sockets)
        socket->sendTextMessage(text);
}

} // namespace web
