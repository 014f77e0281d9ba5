// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/Display.h"
#include "langue/qt/LangueQt.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace platform::qt {

namespace {

QString environment(const char* name)
{
    return qEnvironmentVariable(name);
}

bool waylandReachable()
{
    if (!environment("WAYLAND_DISPLAY").isEmpty())
        return true;
    // Without WAYLAND_DISPLAY, a Wayland client tries the compositor's default socket.
    const QString runtime = environment("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(QDir(runtime).filePath(QStringLiteral("wayland-0")));
}

// Messages Qt emits while it picks its platform, held back until it is known whether it found one.
struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};
std::vector<HeldMessage> heldMessages;

void holdMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type != QtFatalMsg) {
        heldMessages.push_back({ type, QByteArray(context.category ? context.category : ""), text });
        return;
    }
    // No platform could be had: say why in one line rather than abort with a core dump. The
    // plug-in's own complaint ("could not connect to display :0") says more than the final one.
    QString reason = text.section(QLatin1Char('\n'), 0, 0);
    for (const HeldMessage& m : heldMessages)
        if (m.category.startsWith("qt.qpa") && (m.type == QtWarningMsg || m.type == QtCriticalMsg)) {
            reason = m.text;
            break;
        }
    std::fprintf(stderr, "%s\n",
        qPrintable(SELVANE_TR("platform", "%1: impossible d'ouvrir l'affichage graphique : %2")
                       .arg(QCoreApplication::applicationName(), reason.simplified())));
    std::fflush(stderr);
    std::_Exit(EXIT_FAILURE);
}

} // namespace

QString missingDisplay(const DisplayRequest& request)
{
    const bool x11 = !request.display.isEmpty() || !environment("DISPLAY").isEmpty();
    if (request.platform.isEmpty()) {
        if (x11 || waylandReachable())
            return {};
        return SELVANE_TR("platform",
            "aucun affichage graphique (DISPLAY et WAYLAND_DISPLAY sont vides) ; "
            "lancez-le dans une session graphique ou sous xvfb-run "
            "(--help, --version et --list-ports marchent sans affichage)");
    }
    // A list such as "wayland;xcb" is tried in order; options follow a colon.
    const QStringList names = request.platform.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& entry : names) {
        const QString name = entry.section(QLatin1Char(':'), 0, 0).trimmed().toLower();
        if (name == QLatin1String("xcb")) {
            if (x11)
                return {};
        } else if (name.startsWith(QLatin1String("wayland"))) {
            if (waylandReachable())
                return {};
        } else {
            return {}; // offscreen, vnc, eglfs…: needs no display server we could look for
        }
    }
    return SELVANE_TR("platform",
        "la plateforme Qt « %1 » demande un affichage graphique, mais DISPLAY et "
        "WAYLAND_DISPLAY sont vides")
        .arg(request.platform);
}

std::unique_ptr<QApplication> openApplication(int& argc, char** argv)
{
    heldMessages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(holdMessage);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    for (const HeldMessage& m : heldMessages) {
        const QMessageLogContext context(nullptr, 0, nullptr, m.category.constData());
        if (previous)
            previous(m.type, context, m.text);
    }
    heldMessages.clear();
    return app;
}

} // namespace platform::qt
