// SPDX-License-Identifier: GPL-3.0-or-later
// The token, the cookie, the Host and the Origin rules of selvane-web.
#include "web/Access.h"

#include <QList>
#include <QRandomGenerator>

#include "web/texts.h"

namespace web {

Access::Access(bool loopback, quint16 port, QByteArray token)
    : loopback(loopback)
    , port(port)
    , token_(std::move(token))
{
}

QByteArray Access::newToken()
{
    QByteArray bytes(web_limits::OctetsJeton, '\0');
    QRandomGenerator::system()->generate(bytes.begin(), bytes.end());
    return bytes.toHex();
}

bool Access::sameToken(const QByteArray& a, const QByteArray& b)
{
    // Only the length shows; every byte is looked at whatever the earlier ones were.
    if (a.size() != b.size() || a.isEmpty())
        return false;
    unsigned char différence = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        différence |= static_cast<unsigned char>(a[i] ^ b[i]);
    return différence == 0;
}

// On loopback a page served under another name (a DNS rebinding of an outside site to 127.0.0.1)
// is refused: only the loopback names themselves.
bool Access::hostAllowed(const QByteArray& host) const
{
    if (!loopback)
        return !host.isEmpty();
    const QByteArray suffix = ':' + QByteArray::number(port);
    for (const char* name : { "127.0.0.1", "localhost", "[::1]" })
        if (host == QByteArray(name) + suffix)
            return true;
    return false;
}

bool Access::allowed(
    const QByteArray& host, const QByteArray& cookieHeader, const QByteArray& queryToken) const
{
    if (!hostAllowed(host))
        return false;
    if (token_.isEmpty())
        return true;
    if (sameToken(queryToken, token_))
        return true;
    for (const QByteArray& pair : cookieHeader.split(';')) {
        const QByteArray p = pair.trimmed();
        const qsizetype equal = p.indexOf('=');
        if (equal > 0 && p.left(equal) == NomCookie && sameToken(p.mid(equal + 1), token_))
            return true;
    }
    return false;
}

bool Access::originAllowed(const QByteArray& origin, const QByteArray& host) const
{
    return hostAllowed(host) && origin == "http://" + host;
}

QByteArray Access::cookie() const
{
    return QByteArray(NomCookie) + '=' + token_ + "; Path=/; HttpOnly; SameSite=Strict";
}

} // namespace web
