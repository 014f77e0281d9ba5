// SPDX-License-Identifier: GPL-3.0-or-later
// The real window in English against the simulator: every caption, tooltip, box and log line of a
// session (a GOTO to the Sun with its two questions, an alignment refused, an initialisation) is
// English; none is a French source text of the catalogue.
#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTimer>
#include <QXmlStreamReader>

#include "../qt/QtTestSupport.h"
#include "langue/qt/LangueQt.h"

namespace {

// Real message boxes; the test answers them as they show.
class RealBoxes : public platform::qt::QtSystem {
public:
    platform::Answer answer = platform::Answer::Ok;
};

// The French sources that English must never show: those whose English differs ("OK" does not),
// long enough to be words rather than a fragment such as "en ".
QStringList frenchSources()
{
    QFile file(QStringLiteral(SELVANE_CATALOGUE));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QXmlStreamReader xml(&file);
    QStringList sources;
    QString source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        } else if (xml.name() == QLatin1String("translation")) {
            const QString english = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
            if (english != source && source.size() >= 4)
                sources << source;
        }
    }
    return sources;
}

} // namespace

class WindowInEnglish : public QObject, testsupport::SimulatedWindow<RealBoxes> {
    Q_OBJECT

    QStringList seen;

    void collectWidgets()
    {
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (auto* b = qobject_cast<QAbstractButton*>(w))
                seen << b->text();
            if (auto* l = qobject_cast<QLabel*>(w))
                seen << l->text();
            if (auto* e = qobject_cast<QLineEdit*>(w))
                seen << e->placeholderText();
            seen << w->toolTip();
        }
    }

private slots:
    void initTestCase()
    {
        testsupport::quietOffscreenNoise();
        char program[] = "test";
        char option[] = "--langue";
        char value[] = "en";
        char* argv[] = { program, option, value, nullptr };
        QCOMPARE(langue::qt::choisirEtInstaller(3, argv, "test"), langue::Langue::en);
        sim::Options options;
        options.rates.slew = 200.0;
        QVERIFY(start(options));
    }

    void cleanupTestCase() { stop(); }

    void aSessionShowsNoFrenchText()
    {
        collectWidgets();
        QCOMPARE(find<QAbstractButton>("btnOuest")->text(), QStringLiteral("&W"));

        // Every box shows its text and buttons; a question is answered OK, a warning Cancel.
        int boxes = 0;
        QTimer answerer;
        connect(&answerer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            ++boxes;
            seen << box->text();
            for (QAbstractButton* b : box->buttons())
                seen << b->text();
            QAbstractButton* cancel = box->button(QMessageBox::Cancel);
            (box->icon() == QMessageBox::Warning && cancel ? cancel : box->buttons().first())->click();
        });
        answerer.start(20);

        // The Sun by its English name, then a GOTO there: the question, then the Sun's warning.
        auto* objet = find<QLineEdit>("EdtObjet");
        objet->setText(QStringLiteral("Sun"));
        QTest::keyClick(objet, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(log().contains(QStringLiteral("Object: Sun")), 10000);
        find<QAbstractButton>("BtnGOTO")->click();
        QTRY_VERIFY_WITH_TIMEOUT(log().contains(QStringLiteral("GOTO cancelled: Sun at ")), 10000);
        QVERIFY(seen.filter(QStringLiteral("from the Sun. An instrument pointed at the Sun")).size() == 1);
        // An alignment without a reference, then the initialisation it asks for.
        find<QAbstractButton>("btnAligner")->click();
        find<QAbstractButton>("btninitialisation")->click();
        QTRY_VERIFY_WITH_TIMEOUT(seen.contains(QStringLiteral("Selvane system initialised")), 10000);
        QVERIFY(boxes >= 5);
        seen << log().split(QLatin1Char('\n'));

        const QStringList french = frenchSources();
        QVERIFY(french.size() > 100);
        for (const QString& text : seen)
            for (const QString& source : french)
                QVERIFY2(!text.contains(source),
                    qPrintable(QStringLiteral("French \"%1\" in \"%2\"").arg(source, text)));
    }
};

QTEST_MAIN(WindowInEnglish)
#include "test_window_english.moc"
