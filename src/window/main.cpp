// SPDX-License-Identifier: GPL-3.0-or-later
// Program entry: the command line, the Qt platform, the window and its start-up.
#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

#include "langue/qt/LangueQt.h"
#include "platform/qt/Display.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/NightVision.h"
#include "platform/qt/QtListMemory.h"
#include "platform/qt/QtSerialPort.h"
#include "platform/qt/QtSystem.h"
#include "platform/qt/QuitSignals.h"
#include "platform/qt/TcpSerialPort.h"
#include "settings/Settings.h"
#include "settings/texts.h"
#include "sim/MountSimulator.h"
#include "sky/site.h"
#include "window/app/frmTKR52princ.h"

#ifndef SELVANE_VERSION
#define SELVANE_VERSION "2.2"
#endif

namespace {

// A value the command line cannot take.
constexpr int StatutOptionInvalide = 2;

// One line on standard error, in the user's encoding.
void tell(const QString& line)
{
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
}

// The serial ports of this machine, one a line: device, description, USB vendor:product.
void listPorts()
{
    const auto ports = QSerialPortInfo::availablePorts();
    if (ports.isEmpty())
        std::printf("%s\n", SELVANE_TR("main", "Aucun port série trouvé.").toLocal8Bit().constData());
    for (const QSerialPortInfo& info : ports) {
        QString usb;
        if (info.hasVendorIdentifier() && info.hasProductIdentifier())
            usb = QStringLiteral("%1:%2")
                      .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                      .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
        std::printf("%s\t%s\t%s\n", info.systemLocation().toLocal8Bit().constData(),
            info.description().toLocal8Bit().constData(), usb.toLocal8Bit().constData());
    }
}

// What the command line asks for.
struct Options {
    QString device;
    bool simulate = false;
    bool trace = false;
    bool night = false;
    std::optional<settings::ChoixLieu> lieu; // --lieu as given: a site, or "aucun"
    std::optional<double> température;
    std::optional<double> pression;
    QString liste;
    platform::qt::DisplayRequest display;
};

// Reads the command line with a console application only, so that --help, --version,
// --list-ports and a mistyped option are answered on a machine without a display. Those end the
// process; otherwise the options are returned.
Options readCommandLine(int argc, char** argv)
{
    QCoreApplication console(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        SELVANE_TR("main", "Raquette de commande de monture de télescope Selvane V2.2."));
    // Qt's own options (-platform offscreen, -display :1…) are single-dash words: let them through.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption portOption(QStringList { QStringLiteral("port") },
        SELVANE_TR("main",
            "Port série à utiliser au lieu de COM1 (/dev/ttyUSB0…), ou HÔTE:PORT d'un "
            "pont série-réseau (ser2net, adaptateur WiFi)."),
        QStringLiteral("DEVICE"));
    const QCommandLineOption traceOption(QStringList { QStringLiteral("trace") },
        SELVANE_TR("main", "Écrit chaque commande et chaque réponse sur la sortie d'erreur."));
    const QCommandLineOption simulateOption(QStringList { QStringLiteral("simulate") },
        SELVANE_TR("main", "Pilote le simulateur de monture intégré au lieu d'un vrai contrôleur."));
    const QCommandLineOption nightOption(QStringList { QStringLiteral("nuit") },
        SELVANE_TR("main", "Démarre en vision de nuit (rouge sur noir ; Ctrl+Maj+N bascule)."));
    const QCommandLineOption lieuOption(QStringList { QStringLiteral("lieu") },
        SELVANE_TR("main",
            "Lieu d'observation en degrés décimaux (nord et est positifs) et mètres : "
            "45.76,4.84,200. Rend la Lune topocentrique et signale une cible sous l'horizon. Enregistré "
            "pour les démarrages suivants ; « aucun » l'oublie."),
        QStringLiteral("LAT,LON[,ALT]"));
    const QCommandLineOption températureOption(QStringList { QString::fromUtf8("température") },
        SELVANE_TR("main",
            "Température de l'air au lieu d'observation, en °C (réfraction ; par défaut celle de "
            "l'atmosphère standard à son altitude)."),
        QStringLiteral("C"));
    const QCommandLineOption pressionOption(QStringList { QStringLiteral("pression") },
        SELVANE_TR("main",
            "Pression de l'air au lieu d'observation, en hPa (réfraction ; par défaut celle de "
            "l'atmosphère standard à son altitude)."),
        QStringLiteral("HPA"));
    const QCommandLineOption listeOption(QStringList { QStringLiteral("liste") },
        SELVANE_TR("main",
            "Ouvre une liste d'observation (SkySafari .skylist, Stellarium .json, CSV, un nom par ligne) et "
            "choisit son premier objet ; Suivant et Précédent la parcourent."),
        QStringLiteral("FICHIER"));
    const QCommandLineOption listOption(QStringList { QStringLiteral("list-ports") },
        SELVANE_TR("main", "Liste les ports série de la machine et quitte."));
    parser.addOption(portOption);
    parser.addOption(simulateOption);
    parser.addOption(traceOption);
    parser.addOption(nightOption);
    parser.addOption(lieuOption);
    parser.addOption(températureOption);
    parser.addOption(pressionOption);
    parser.addOption(listeOption);
    parser.addOption(listOption);
    // Read before any text is made (langue::qt::choisirEtInstaller); listed here for --help.
    parser.addOption(
        QCommandLineOption(langue::qt::nomOption(), langue::qt::aideOption(), QStringLiteral("fr|en")));
    // Options that QApplication takes for itself; they are read here only to be let through.
    std::vector<QCommandLineOption> qtOptions;
    for (const char* name : { "platform", "platformpluginpath", "platformtheme", "plugin", "display",
             "geometry", "qwindowgeometry", "title", "qwindowtitle", "icon", "qwindowicon", "name", "style",
             "stylesheet", "session", "qmljsdebugger" })
        qtOptions.emplace_back(QString::fromLatin1(name), QString(), QStringLiteral("value"));
    for (const char* name : { "reverse", "nograb", "dograb", "sync", "widgetcount" })
        qtOptions.emplace_back(QString::fromLatin1(name));
    for (QCommandLineOption& option : qtOptions) {
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    parser.process(console);

    if (parser.isSet(listOption)) {
        listPorts();
        std::exit(EXIT_SUCCESS);
    }
    Options options;
    options.device = parser.value(portOption);
    options.simulate = parser.isSet(simulateOption);
    options.trace = parser.isSet(traceOption);
    options.night = parser.isSet(nightOption);
    if (parser.isSet(lieuOption)) {
        const QString texte = parser.value(lieuOption);
        options.lieu = settings::lireChoixLieu(texte);
        if (options.lieu->sorte == settings::ChoixLieu::Sorte::Invalide) {
            tell(QStringLiteral("selvane: ") + langue::qt::tr(settings_texts::LieuInvalide).arg(texte));
            std::exit(StatutOptionInvalide);
        }
    }
    // The air, for the refraction: a number within what an observing site sees.
    const auto air = [&](const QCommandLineOption& option, double min, double max) -> std::optional<double> {
        if (!parser.isSet(option))
            return std::nullopt;
        bool lu = false;
        const double valeur = parser.value(option).toDouble(&lu);
        if (!lu || !(valeur >= min && valeur <= max)) {
            tell(SELVANE_TR("main", "selvane: --%1 %2 : attendu un nombre entre %3 et %4")
                     .arg(option.names().constFirst(), parser.value(option))
                     .arg(min, 0, 'f', 0)
                     .arg(max, 0, 'f', 0));
            std::exit(StatutOptionInvalide);
        }
        return valeur;
    };
    options.température = air(températureOption, sky::TempératureMinC, sky::TempératureMaxC);
    options.pression = air(pressionOption, sky::PressionMinHPa, sky::PressionMaxHPa);
    // Kept whole: a relative path names the same file when the list is taken up at the next start.
    if (parser.isSet(listeOption))
        options.liste = QFileInfo(parser.value(listeOption)).absoluteFilePath();
    options.display.platform = parser.isSet(QStringLiteral("platform"))
        ? parser.value(QStringLiteral("platform"))
        : qEnvironmentVariable("QT_QPA_PLATFORM");
    options.display.display = parser.value(QStringLiteral("display"));
    return options;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication::setApplicationName(QStringLiteral("selvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SELVANE_VERSION));
    // The launcher entry's name, so that the desktop shows the window under the launcher's icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.selvane"));
    langue::qt::choisirEtInstaller(argc, argv, "selvane");
    const Options options = readCommandLine(argc, argv);

    const QString noDisplay = platform::qt::missingDisplay(options.display);
    if (!noDisplay.isEmpty()) {
        tell(QStringLiteral("selvane: ") + noDisplay);
        return EXIT_FAILURE;
    }
    const std::unique_ptr<QApplication> app = platform::qt::openApplication(argc, argv);
    QApplication::setApplicationDisplayName(QString::fromUtf8(frmTKR52princ::Titre));

    QString device = options.device;
    std::unique_ptr<sim::MountSimulator> simulator;
    if (options.simulate && device.isEmpty()) {
        sim::Options simulation;
        simulation.pacing = true; // as slow as the real line
        simulation.rates.slew = 8.0; // degrees per second: a GOTO across the sky in under half a minute
        simulator = std::make_unique<sim::MountSimulator>(simulation);
        if (!simulator->start()) {
            tell(SELVANE_TR("main", "selvane: le simulateur n'a pas pu démarrer"));
            return 1;
        }
        device = QString::fromStdString(simulator->devicePath());
        tell(SELVANE_TR("main", "selvane: simulateur de monture sur %1").arg(device));
    }

    // A HOST:PORT reaches a controller behind a serial-to-network bridge; anything else is a device.
    std::unique_ptr<platform::SerialPort> port;
    if (const auto address = platform::qt::tcpAddress(device))
        port = std::make_unique<platform::qt::TcpSerialPort>(*address, options.trace);
    else
        port = std::make_unique<platform::qt::QtSerialPort>(device, options.trace);
    platform::qt::MainWindow window(*port);
    platform::qt::QtSystem system;
    system.setWindow(&window);
    // The night look given once stays; the shortcut's changes are remembered as they come.
    if (options.night)
        settings::enregistrerNuit(true);
    if (options.night || settings::nuitEnregistrée().value_or(false))
        platform::qt::NightVision::setEnabled(true);
    platform::qt::NightVision::onShortcutToggled([](bool nuit) { settings::enregistrerNuit(nuit); });

    frmTKR52princ form(window, system);
    // The site: the option's (then saved), else the saved one; said with where it comes from.
    QStringList lignesLieu;
    form.lieu = settings::lieuAuDémarrage(options.lieu ? &*options.lieu : nullptr, lignesLieu);
    for (const QString& ligne : lignesLieu)
        tell(QStringLiteral("selvane: ") + ligne);
    form.températureAir = options.température;
    form.pressionAir = options.pression;
    // Said once: whether stars and targets are taken where they are seen, and with what air.
    if (!form.lieu) {
        tell(SELVANE_TR("main", "selvane: réfraction non appliquée : lieu d'observation inconnu (--lieu)"));
    } else {
        const sky::Atmosphère air = form.atmosphère();
        // The numbers as the C library writes them in the user's locale, as before.
        char température[32];
        char pression[32];
        std::snprintf(température, sizeof température, "%.1f", air.températureC);
        std::snprintf(pression, sizeof pression, "%.0f", air.pressionHPa);
        tell(SELVANE_TR("main", "selvane: réfraction pour %1 °C et %2 hPa (%3)")
                 .arg(QString::fromLocal8Bit(température), QString::fromLocal8Bit(pression),
                     options.température || options.pression
                         ? QString::fromUtf8("--température, --pression")
                         : SELVANE_TR("main", "atmosphère standard à l'altitude du lieu")));
    }
    window.connectTo(form);
    form.Form_Load();
    // The observing list given, else the one of the last run.
    platform::qt::QtListMemory listMemory;
    form.mémoireListe = &listMemory;
    if (!options.liste.isEmpty())
        form.chargerListe(options.liste.toStdString());
    else
        form.reprendreListe();
    // Killed with a button held, the window still stops the move and drains its line.
    const platform::qt::QuitSignals quitSignals([&form] { form.fermerLigne(); });
    window.armTimers();
    system.showWindow();
    return QApplication::exec();
}
