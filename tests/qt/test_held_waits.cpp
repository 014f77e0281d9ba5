// SPDX-License-Identifier: GPL-3.0-or-later
// A wait held up past its time limit by a box left open: what the controller sent meanwhile is
// read when the box is cancelled, so neither the query nor the GOTO ends as a time-out.
#include <QEventLoop>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>

#include "QtTestSupport.h"
#include "window/app/texts.h"

namespace {

// The quit question stays open for heldMs of real time before the user cancels it. The
// monotonic clock can run faster, so that the GOTO's long limit passes within the test.
class HoldingSystem : public testsupport::ScriptedSystem {
public:
    std::int64_t monotonicMs() const override { return QtSystem::monotonicMs() * speed; }
    platform::Answer askOkCancel(const std::string& text, const std::string& title) override
    {
        const auto answer = ScriptedSystem::askOkCancel(text, title);
        if (text == app_texts::QuestionQuitter) {
            QEventLoop open;
            QTimer::singleShot(heldMs, &open, &QEventLoop::quit);
            open.exec();
            return platform::Answer::Cancel;
        }
        return answer;
    }
    std::int64_t speed = 1;
    int heldMs = 0;
};

} // namespace

class HeldWaits : public QObject, testsupport::SimulatedWindow<HoldingSystem> {
    Q_OBJECT

    // The user clicks "Fermer" while the wait runs and keeps the question open.
    void askToQuitDuringTheWait(int heldMs)
    {
        system->heldMs = heldMs;
        QTimer::singleShot(0, this, [this] { form->btnFermerappli_Click(); });
    }

private slots:
    void initTestCase() { testsupport::quietOffscreenNoise(); }

    void init()
    {
        sim::Options options;
        options.rates.slew = 200.0;
        options.raCount = 576000; // 12h
        QVERIFY(start(options));
        form->Timerconsult.setEnabled(false);
    }

    void cleanup() { stop(); }

    void queryReplyThatCameWhileTheQuestionWasOpenIsRead()
    {
        askToQuitDuringTheWait(2500); // past the reply's 2 s limit
        form->BTN_ask_Click();
        QCOMPARE(system->questions.size(), std::size_t{1});
        QVERIFY2(!log().contains(QStringLiteral("pas de réponse")), qPrintable(log()));
        QCOMPARE(window->findChild<QLabel*>(QStringLiteral("affalpha"))->text(), QStringLiteral(" 12h 0m 0s"));
    }

    void gotoOkThatCameWhileTheQuestionWasOpenIsFollowedByTheCompensation()
    {
        system->speed = 200; // the 300 s limit passes in 1.5 s
        askToQuitDuringTheWait(2000);
        form->BtnGOTO_Click();
        QTRY_VERIFY(form->Timerconsult.enabled());
        QCOMPARE(system->questions.size(), std::size_t{2}); // the GOTO's, then the quit question
        QVERIFY2(!log().contains(QStringLiteral("pas de réponse")), qPrintable(log()));
        QVERIFY2(log().startsWith(QString::fromUtf8("Cible Référence pointée! Ok")), qPrintable(log()));
        QTRY_COMPARE(simulator->commands().size(), std::size_t{7});
        const auto commands = simulator->commands();
        QCOMPARE(commands[4], std::string(":T#"));
        QCOMPARE(commands[6], std::string(":i#"));
    }
};

QTEST_MAIN(HeldWaits)
#include "test_held_waits.moc"
