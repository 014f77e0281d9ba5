// Program entry: the command line, the Qt platform, the window and its start-up.
#include <QApplication>
#include <QCommandLineParser>
#include <QSerialPortInfo>
#include <cstdio>
#include <memory>

#include "app/frmTKR52princ.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtSerialPort.h"
#include "platform/qt/QtSystem.h"
#include "sim/MountSimulator.h"

#ifndef SELVANE_VERSION
#define SELVANE_VERSION "2.2"
#endif

namespace {

// The serial ports of this machine, one a line: device, description, USB vendor:product.
void listPorts()
{
    const auto ports = QSerialPortInfo::availablePorts();
    if (ports.isEmpty())
        std::printf("Aucun port série trouvé.\n");
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

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("selvane"));
    QApplication::setApplicationDisplayName(QString::fromUtf8(frmTKR52princ::Titre));
    QApplication::setApplicationVersion(QStringLiteral(SELVANE_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8("Raquette de commande de monture de télescope Selvane V2.2."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption portOption(QStringList{QStringLiteral("port")},
                                        QString::fromUtf8("Port série à utiliser au lieu de COM1 (/dev/ttyUSB0…)."),
                                        QStringLiteral("DEVICE"));
    const QCommandLineOption traceOption(QStringList{QStringLiteral("trace")},
                                         QString::fromUtf8("Écrit chaque commande et chaque réponse sur la sortie d'erreur."));
    const QCommandLineOption simulateOption(QStringList{QStringLiteral("simulate")},
                                            QString::fromUtf8("Pilote le simulateur de monture intégré au lieu d'un vrai contrôleur."));
    const QCommandLineOption listOption(QStringList{QStringLiteral("list-ports")},
                                        QString::fromUtf8("Liste les ports série de la machine et quitte."));
    parser.addOption(portOption);
    parser.addOption(simulateOption);
    parser.addOption(traceOption);
    parser.addOption(listOption);
    parser.process(app);

    if (parser.isSet(listOption)) {
        listPorts();
        return 0;
    }

    QString device = parser.value(portOption);
    std::unique_ptr<sim::MountSimulator> simulator;
    if (parser.isSet(simulateOption) && device.isEmpty()) {
        sim::Options options;
        options.pacing = true; // as slow as the real line
        options.rates.slew = 8.0; // degrees per second: a GOTO across the sky in under half a minute
        simulator = std::make_unique<sim::MountSimulator>(options);
        if (!simulator->start()) {
            std::fprintf(stderr, "selvane: le simulateur n'a pas pu démarrer\n");
            return 1;
        }
        device = QString::fromStdString(simulator->devicePath());
        std::fprintf(stderr, "selvane: simulateur de monture sur %s\n", device.toLocal8Bit().constData());
    }

    platform::qt::QtSerialPort port(device, parser.isSet(traceOption));
    platform::qt::MainWindow window(port);
    platform::qt::QtSystem system;
    system.setWindow(&window);

    frmTKR52princ form(window, system);
    window.connectTo(form);
    form.Form_Load();
    window.armTimers();
    system.showWindow();
    return QApplication::exec();
}
