// Program entry: the command line, the Qt platform, the window and its start-up.
#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

#include "app/frmTKR52princ.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtSerialPort.h"
#include "platform/qt/QtSystem.h"

#ifndef SELVANE_VERSION
#define SELVANE_VERSION "2.2"
#endif

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
    parser.addOption(portOption);
    parser.addOption(traceOption);
    parser.process(app);

    platform::qt::QtSerialPort port(parser.value(portOption), parser.isSet(traceOption));
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
