// SPDX-License-Identifier: GPL-3.0-or-later
// selvane-web: the hand controller served to a phone's browser, without a window.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <unistd.h>

#include "langue/qt/LangueQt.h"
#include "sim/MountSimulator.h"
#include "sim/Protocol.h"
#include "settings/Settings.h"
#include "settings/texts.h"
#include "sky/site.h"
#include "web/Access.h"
#include "web/HttpFront.h"
#include "web/Line.h"
#include "web/Pages.h"
#include "web/Qr.h"
#include "web/WebMount.h"
#include "web/texts.h"

#ifndef SELVANE_VERSION
#define SELVANE_VERSION "2.2"
#endif

namespace {

constexpr int StatutOptionInvalide = 2;
constexpr const char* PortParDéfaut = "/dev/ttyS0"; // COM1, as the controller expects
constexpr const char* ÉcouteParDéfaut = "127.0.0.1:7626";
// The built-in simulator slews a GOTO across the sky in under half a minute.
constexpr double VitesseRalliementSimulateur = 8.0;

int signalPipe[2] = { -1, -1 };

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

void fail(const QString& line, int status)
{
    std::fprintf(stderr, "%s: %s\n", web_texts::Programme, line.toLocal8Bit().constData());
    std::exit(status);
}

struct Écoute {
    QHostAddress address;
    quint16 port = 0;
};

std::optional<Écoute> readListen(const QString& text)
{
    const qsizetype colon = text.lastIndexOf(':');
    if (colon <= 0)
        return std::nullopt;
    QString host = text.left(colon);
    if (host.startsWith('[') && host.endsWith(']'))
        host = host.mid(1, host.size() - 2);
    bool ok = false;
    const uint port = text.mid(colon + 1).toUInt(&ok);
    Écoute écoute { QHostAddress(host), static_cast<quint16>(port) };
    if (!ok || port == 0 || port > 65535 || écoute.address.isNull())
        return std::nullopt;
    return écoute;
}

// The address a phone types or scans: for "every address", the machine's first one on a network.
QString pageHost(const Écoute& écoute)
{
    QHostAddress shown = écoute.address;
    if (shown == QHostAddress::AnyIPv4 || shown == QHostAddress::AnyIPv6 || shown == QHostAddress::Any) {
        shown = QHostAddress::LocalHost;
        for (const QHostAddress& a : QNetworkInterface::allAddresses())
            if (!a.isLoopback() && a.protocol() == QAbstractSocket::IPv4Protocol) {
                shown = a;
                break;
            }
    }
    const QString host
        = shown.protocol() == QAbstractSocket::IPv6Protocol ? '[' + shown.toString() + ']' : shown.toString();
    return host + ':' + QString::number(écoute.port);
}

} // namespace

int main(int argc, char** argv)
{
    langue::qt::choisirEtInstaller(argc, argv, web_texts::Programme);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(web_texts::Programme);
    QCoreApplication::setApplicationVersion(SELVANE_VERSION);

    QCommandLineParser parser;
    parser.setApplicationDescription(langue::qt::tr(web_texts::Description));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption portOption("port",
        SELVANE_TR("web",
            "Le contrôleur : un port série (/dev/ttyUSB0), un pont TCP (hôte:port) ou le port partagé "
            "du pilote (127.0.0.1:7625). Par défaut /dev/ttyS0 (COM1)."),
        "DEVICE|HOST:PORT");
    const QCommandLineOption simulateOption(
        "simulate", SELVANE_TR("web", "Pilote le simulateur de monture intégré."));
    const QCommandLineOption lieuOption("lieu",
        SELVANE_TR("web", "Le lieu d'observation en degrés décimaux (est positif) et mètres ; enregistré pour les "
                          "démarrages suivants, « aucun » l'oublie."),
        "LAT,LON[,ALT]");
    const QCommandLineOption listenOption("listen",
        SELVANE_TR("web",
            "L'adresse où servir la page ; 0.0.0.0:7626 pour le réseau (avec un jeton). Par défaut %1.")
            .arg(ÉcouteParDéfaut),
        "ADDRESS:PORT", ÉcouteParDéfaut);
    const QCommandLineOption traceOption("trace",
        SELVANE_TR(
            "web", "Chaque commande écrite et chaque réponse lue vont sur la sortie d'erreur, horodatées."));
    // Read before any text is made (langue::qt::choisirEtInstaller); listed here for --help.
    const QCommandLineOption langueOption(langue::qt::nomOption(), langue::qt::aideOption(), "fr|en");
    for (const auto& option :
        { portOption, simulateOption, lieuOption, listenOption, traceOption, langueOption })
        parser.addOption(option);
    if (!parser.parse(app.arguments()))
        fail(parser.errorText(), StatutOptionInvalide);
    if (parser.isSet("help"))
        parser.showHelp(EXIT_SUCCESS);
    if (parser.isSet("version"))
        parser.showVersion();
    if (!parser.positionalArguments().isEmpty())
        fail(SELVANE_TR("web", "argument inattendu : %1").arg(parser.positionalArguments().first()),
            StatutOptionInvalide);

    web::WebMount::Options options;
    std::optional<settings::ChoixLieu> lieu;
    if (parser.isSet(lieuOption)) {
        lieu = settings::lireChoixLieu(parser.value(lieuOption));
        if (lieu->sorte == settings::ChoixLieu::Sorte::Invalide)
            fail(langue::qt::tr(settings_texts::LieuInvalide).arg(parser.value(lieuOption)),
                StatutOptionInvalide);
    }
    const auto écoute = readListen(parser.value(listenOption));
    if (!écoute)
        fail(langue::qt::tr(web_texts::ListenInvalide).arg(parser.value(listenOption)), StatutOptionInvalide);
    if (parser.isSet(portOption) && parser.value(portOption).isEmpty())
        fail(SELVANE_TR("web", "--port : un port est attendu"), StatutOptionInvalide);

    std::string port = parser.isSet(portOption) ? parser.value(portOption).toStdString() : PortParDéfaut;
    std::unique_ptr<sim::MountSimulator> simulator;
    if (parser.isSet(simulateOption) && !parser.isSet(portOption)) {
        sim::Options simulation;
        simulation.pacing = true; // as slow as the real line
        simulation.rates.slew = VitesseRalliementSimulateur;
        simulator = std::make_unique<sim::MountSimulator>(simulation);
        if (!simulator->start())
            fail(langue::qt::tr(web_texts::SimulateurImpossible), EXIT_FAILURE);
        port = simulator->devicePath();
        std::fprintf(stderr, "%s: %s\n", web_texts::Programme,
            langue::qt::tr(web_texts::Simulateur)
                .arg(QString::fromStdString(port))
                .toLocal8Bit()
                .constData());
    }
    web::OpenedLine line = web::openLine(port);
    if (line.fd < 0)
        fail(QString::fromStdString(line.error), EXIT_FAILURE);

    if (parser.isSet(traceOption)) {
        // A reply is gathered into one line: it ends with its "#", with the "k" of "Ok", or when a
        // command goes out.
        auto pending = std::make_shared<std::string>();
        auto line = [](const char* direction, const std::string& bytes) {
            std::fprintf(stderr, "%s %s \"%s\"\n",
                QTime::currentTime().toString("HH:mm:ss.zzz").toLatin1().constData(), direction,
                sim::printable(bytes).c_str());
        };
        options.trace = [pending, line](bool written, const std::string& bytes) {
            if (written) {
                if (!pending->empty())
                    line("<-", *pending);
                pending->clear();
                line("->", bytes);
                return;
            }
            for (const char c : bytes) {
                pending->push_back(c);
                if (c == '#'
                    || (c == 'k' && pending->size() >= 2 && (*pending)[pending->size() - 2] == 'O')) {
                    line("<-", *pending);
                    pending->clear();
                }
            }
        };
    }

    const bool loopback = écoute->address.isLoopback();
    const web::Access access(loopback, écoute->port, loopback ? QByteArray() : web::Access::newToken());
    web::HttpFront front(access);
    QString why;
    if (!front.listen(écoute->address, écoute->port, why))
        fail(langue::qt::tr(web_texts::ÉcouteImpossible).arg(parser.value(listenOption), why), EXIT_FAILURE);

    // The site: the option's (then saved for every program), else the one saved.
    QStringList lignesLieu;
    options.lieu = settings::lieuAuDémarrage(lieu ? &*lieu : nullptr, lignesLieu);
    for (const QString& ligne : lignesLieu)
        std::fprintf(stderr, "%s: %s\n", web_texts::Programme, ligne.toLocal8Bit().constData());

    web::WebMount mount(line.fd, options);
    web::Pages pages(access, mount);
    front.channel = [&pages](QWebSocket* socket) { pages.open(socket); };

    // The first line is the page's address, with its token when there is one.
    QString address = "http://" + pageHost(*écoute) + '/';
    if (!access.token().isEmpty())
        address += "?t=" + QString::fromLatin1(access.token());
    std::printf("%s\n", address.toLocal8Bit().constData());
    if (!loopback) {
        std::printf("%s", web::qrTerminal(address.toStdString()).c_str());
        std::printf("%s\n", web_texts::SurLeRéseau.texte());
    }
    std::fflush(stdout);

    // Ctrl-C and the service manager's stop end the moves open before the line closes.
    if (::pipe(signalPipe) != 0)
        fail("pipe", EXIT_FAILURE);
    QSocketNotifier stopRequests(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&stopRequests, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGHUP, onSignal);
    std::signal(SIGPIPE, SIG_IGN);

    const int status = app.exec();
    mount.stopMoves();
    web::closeLine(line);
    if (simulator)
        simulator->stop();
    return status;
}
