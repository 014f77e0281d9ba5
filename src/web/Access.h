// SPDX-License-Identifier: GPL-3.0-or-later
// Who may open the page and its live channel: the token and its cookie when the server listens on
// the network, the Host a browser names, and the Origin of a live channel.
#pragma once

#include <QByteArray>
#include <QString>

namespace web {

class Access {
public:
    // token: empty on loopback, where nothing is asked of the browser but the host it names.
    Access(bool loopback, quint16 port, QByteArray token);

    // 128 random bits as 32 hexadecimal digits.
    static QByteArray newToken();
    // The same bytes, compared in a time that does not depend on where they differ.
    static bool sameToken(const QByteArray& a, const QByteArray& b);

    const QByteArray& token() const { return token_; }
    // A request may be answered: it names an allowed host, and on the network it carries the
    // token in its address (queryToken) or in the cookie set from it (cookieHeader: the whole
    // Cookie header).
    bool allowed(const QByteArray& host, const QByteArray& cookieHeader, const QByteArray& queryToken) const;
    // A live channel comes from the page's own origin (the scheme and the host it was served as).
    bool originAllowed(const QByteArray& origin, const QByteArray& host) const;
    // The Set-Cookie value that lets the page's own requests through.
    QByteArray cookie() const;
    static constexpr const char* NomCookie = "selvane";
    static constexpr const char* ParamètreJeton = "t";

private:
    bool hostAllowed(const QByteArray& host) const;

    bool loopback;
    quint16 port;
    QByteArray token_;
};

} // namespace web
