// SPDX-License-Identifier: GPL-3.0-or-later
// The rules that protect the mount when pages drive it: held moves end when their page falls
// silent or goes, a stop ends the open move whoever opened it, the questions before a GOTO send
// nothing until answered, one GOTO at a time, malformed messages reach nothing; and who may come in.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "sim/MountSimulator.h"
#include "sky/solar_system.h"
#include "web/Access.h"
#include "web/WebMount.h"

using web::Access;
using web::WebMount;

namespace {

// Lets the event loop run until the condition holds, at most ms.
template <typename Condition> bool waitUntil(Condition condition, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!condition() && t.elapsed() < ms)
        QTest::qWait(10);
    return condition();
}

using Commands = std::vector<std::string>;

// The simulator on a pseudo-terminal, the mount on its other end, and what each page was sent.
struct Bench {
    explicit Bench(WebMount::Options options = {}, sim::Options simulation = {})
    {
        simulator = std::make_unique<sim::MountSimulator>(simulation);
        simulator->start();
        fd = ::open(simulator->devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        options.queryMs = 3'600'000; // the tests ask for positions themselves
        mount = std::make_unique<WebMount>(fd, options);
        mount->send = [this](int page, const QByteArray& m) {
            received.push_back({ page, QJsonDocument::fromJson(m).object() });
        };
        // The first position query, sent at start, answered before the tests write.
        waitUntil([this] { return told(0, "pos"); }, 3000);
        simulator->clearTrace();
    }
    ~Bench()
    {
        mount.reset();
        ::close(fd);
    }
    void say(int page, const QJsonObject& m) { mount->receive(page, QJsonDocument(m).toJson()); }
    Commands commands() const { return simulator->commands(); }
    // Whether a message of this type (and text, when given) went to this page or to every page.
    bool told(int page, const QString& type, const QString& text = {}) const
    {
        for (const auto& [to, m] : received)
            if ((to == page || to == WebMount::ToutesLesPages) && m.value("t") == type
                && (text.isEmpty() || m.value("text").toString().startsWith(text)))
                return true;
        return false;
    }
    int lastQuestion(int page) const
    {
        for (auto it = received.rbegin(); it != received.rend(); ++it)
            if (it->first == page && it->second.value("t") == "ask")
                return it->second.value("id").toInt();
        return -1;
    }

    std::unique_ptr<sim::MountSimulator> simulator;
    int fd = -1;
    std::unique_ptr<WebMount> mount;
    std::vector<std::pair<int, QJsonObject>> received;
};

QJsonObject press(const char* d)
{
    return { { "t", "press" }, { "d", d } };
}
QJsonObject release(const char* d)
{
    return { { "t", "release" }, { "d", d } };
}
QJsonObject beat()
{
    return { { "t", "beat" } };
}
QJsonObject target(const char* t, const QStringList& fields)
{
    return { { "t", t }, { "f", QJsonArray::fromStringList(fields) } };
}
QJsonObject answer(int id, bool ok)
{
    return { { "t", "answer" }, { "id", id }, { "ok", ok } };
}

const Commands NordRapide { ":M#", ":n#" };
const Commands StopDec { ":0#", ":S#" };

} // namespace

TEST(WebMount, ASilentPageLosesItsMoveAndAClosedOneToo)
{
    Bench b;
    b.mount->join(1);
    b.mount->join(2);
    b.say(1, { { "t", "speed" }, { "i", 3 } });
    b.say(1, press("N"));
    ASSERT_TRUE(waitUntil([&] { return b.commands() == NordRapide; }, 1000));
    EXPECT_EQ(b.simulator->received(), ":M#  :n#"); // the speed as the window pads it
    // Beats keep it going past the silence limit.
    for (int i = 0; i < 8; ++i) {
        QTest::qWait(200);
        b.say(1, beat());
    }
    EXPECT_EQ(b.commands(), NordRapide);
    // Then silence: the stop pair within the limit and a margin, and every page is told.
    QElapsedTimer silence;
    silence.start();
    ASSERT_TRUE(waitUntil([&] { return b.commands().size() == std::size_t { 4 }; }, 1500));
    EXPECT_TRUE(silence.elapsed() >= 900);
    const Commands c = b.commands();
    EXPECT_EQ(Commands(c.begin() + 2, c.end()), StopDec);
    EXPECT_TRUE(b.told(2, "log", "Mouvement arrêté"));

    // A page that goes away ends its move at once, and only its own.
    b.simulator->clearTrace();
    b.say(1, press("O"));
    b.say(2, press("S"));
    b.mount->leave(1);
    ASSERT_TRUE(waitUntil(
        [&] {
            return b.commands() == (Commands { ":M#", ":w#", ":M#", ":s#", ":w#", ":S#" });
        },
        1000));
    EXPECT_TRUE(b.mount->session().movingNS());
}

TEST(WebMount, AStopEndsTheOpenMoveWhoeverOpenedIt)
{
    Bench b;
    b.mount->join(1);
    b.mount->join(2);
    b.say(1, press("N"));
    b.say(2, press("S")); // the open move ends before the other starts, as one hand would do
    b.say(2, release("S"));
    b.say(1, release("N")); // nothing left open on the axis: nothing sent
    b.say(2, release("E")); // nor on the other
    QTest::qWait(300);
    EXPECT_EQ(b.commands(), (Commands { ":RS#", ":n#", ":0#", ":S#", ":RS#", ":s#", ":0#", ":S#" }));
}

TEST(WebMount, AMoveHeldTooLongIsEnded)
{
    WebMount::Options options;
    options.longestMoveS = 1;
    Bench b(options);
    b.mount->join(1);
    b.say(1, press("E"));
    for (int i = 0; i < 8 && b.commands().size() < 4; ++i) {
        QTest::qWait(200);
        b.say(1, beat());
    }
    EXPECT_EQ(b.commands(), (Commands { ":RS#", ":e#", ":w#", ":S#" }));
    EXPECT_TRUE(b.told(1, "log", "Mouvement arrêté au bout de 1 s"));
}

TEST(WebMount, QuestionsSendNothingUntilAnsweredAndTheSunIsGuarded)
{
    sim::Options fast;
    fast.rates.slew = 90;
    Bench b({}, fast);
    b.mount->join(1);
    b.mount->join(2);
    const QStringList vega { "18", "36", "56", "+38", "47", "01" };
    b.say(1, target("goto", vega));
    EXPECT_TRUE(b.told(1, "ask", "Etes-vous sûr de vouloir faire un GOTO référence?"));
    b.say(1, answer(b.lastQuestion(1), false));
    b.say(2, answer(b.lastQuestion(1), true)); // another page cannot answer it
    QTest::qWait(200);
    EXPECT_TRUE(b.commands().empty());

    // The Sun's own place: a second question, Cancel by default; Cancel sends nothing.
    const sky::Place soleil
        = sky::placeApparente(sky::Corps::Soleil, QDateTime::currentMSecsSinceEpoch(), std::nullopt);
    const int s = static_cast<int>(soleil.ad / 15 * 3600);
    const int a = static_cast<int>(std::fabs(soleil.dec) * 3600);
    const QStringList auSoleil { QString::number(s / 3600), QString::number(s / 60 % 60),
        QString::number(s % 60), QString(soleil.dec < 0 ? "-" : "+") + QString::number(a / 3600),
        QString::number(a / 60 % 60), QString::number(a % 60) };
    b.say(1, target("goto", auSoleil));
    b.say(1, answer(b.lastQuestion(1), true));
    EXPECT_TRUE(b.told(1, "ask", "Attention : la cible est à 0° du Soleil."));
    EXPECT_EQ(b.received.back().second.value("def").toString(), QString("cancel"));
    b.say(1, answer(b.lastQuestion(1), false));
    EXPECT_TRUE(b.told(1, "log", "GOTO annulé : Soleil à 0°"));
    QTest::qWait(200);
    EXPECT_TRUE(b.commands().empty());

    // One GOTO at a time, said on every page; the slew's own bytes only.
    b.say(1, target("goto", vega));
    b.say(2, target("goto", vega));
    b.say(2, answer(b.lastQuestion(2), true));
    b.say(1, answer(b.lastQuestion(1), true));
    EXPECT_TRUE(b.told(1, "log", "GOTO refusé : un GOTO est déjà en cours"));
    ASSERT_TRUE(waitUntil([&] { return b.told(1, "log", "GOTO terminé"); }, 10000));
    const Commands c = b.commands();
    EXPECT_EQ(std::count(c.begin(), c.end(), ":T#"), 2); // the slew and its compensation, once
}

TEST(WebMount, ALostLineIsShownAtOnceAndEndsTheMoves)
{
    Bench b;
    b.mount->join(1);
    b.say(1, press("N"));
    ASSERT_TRUE(waitUntil([&] { return b.mount->session().movingNS(); }, 1000));
    b.simulator->hangUp();
    ASSERT_TRUE(waitUntil([&] { return b.told(1, "link", "Liaison série perdue"); }, 3000));
    const auto moves = std::find_if(
        b.received.rbegin(), b.received.rend(), [](const auto& m) { return m.second.value("t") == "moves"; });
    ASSERT_NE(moves, b.received.rend());
    EXPECT_EQ(moves->second.value("ns").toString(), QString());
    // What comes after it is refused with the window's words, and nothing is asked.
    b.say(1, target("goto", { "1", "0", "0", "+10", "0", "0" }));
    EXPECT_TRUE(b.told(1, "info", "Liaison série perdue : rien n'a été envoyé"));
    EXPECT_EQ(b.lastQuestion(1), -1);
}

TEST(WebMount, TheAlignmentStartsOnTheInitialisationsStar)
{
    WebMount::Options options;
    options.lieu = sky::Lieu { 45.0, 5.0, 0.0 };
    Bench b(options);
    b.mount->join(1);
    const QStringList vega { "18", "36", "56", "+38", "47", "01" };
    b.say(1, target("align", vega));
    EXPECT_TRUE(b.told(1, "info", "Alignement impossible : initialisez d'abord"));
    b.say(1, target("init", vega));
    EXPECT_TRUE(b.told(1, "ask", "Etes-vous sûr de vouloir initialiser?"));
    b.say(1, answer(b.lastQuestion(1), true));
    EXPECT_TRUE(b.told(1, "info", "Système Selvane initialisé"));
    ASSERT_TRUE(waitUntil([&] { return b.commands().size() == 3; }, 1000));
    EXPECT_EQ(b.commands()[2], ":i#");
    // Centred again on the same star: it replaces the first, read back where it was synced.
    b.say(1, target("align", vega));
    ASSERT_TRUE(waitUntil([&] { return b.told(1, "stars"); }, 3000));
    EXPECT_TRUE(b.told(1, "log", "Alignement : 1 étoile, résidu 0,"));
}

TEST(WebMount, APastedTextFillsTheFieldsAsTheClipboardDoes)
{
    Bench b;
    b.mount->join(1);
    b.say(1, { { "t", "paste" }, { "text", "05h35m17s -05°23'28\"" } });
    ASSERT_EQ(b.received.back().second.value("t").toString(), QString("fields"));
    EXPECT_EQ(b.received.back().second.value("f").toArray().toVariantList(),
        QVariantList({ "05", "35", "17", "-05", "23", "28" }));
    b.say(1, { { "t", "paste" }, { "text", "rien à voir" } });
    EXPECT_TRUE(b.told(1, "log", "Coordonnées non reconnues"));
    EXPECT_TRUE(b.commands().empty());
}

TEST(WebMount, MalformedMessagesReachNothing)
{
    Bench b;
    b.mount->join(1);
    const QByteArray huge(9000, 'x');
    for (int i = 0; i < 10000; ++i) {
        const QByteArray junk[] = { "", "{", "[1,2]", "null", R"({"t":"press","d":"X"})",
            R"({"t":"speed","i":99})", R"({"t":"goto","f":[1,2,3]})",
            R"({"t":"answer","id":12345,"ok":true})", R"({"t":"init","f":["1e999","0","0","0","0","0"]})",
            "{\"t\":\"press\",\"d\":\"" + huge + "\"}", QByteArray::number(i) };
        b.mount->receive(1, junk[i % std::size(junk)]);
    }
    b.mount->receive(7, R"({"t":"press","d":"N"})"); // a page that never joined
    QTest::qWait(200);
    EXPECT_TRUE(b.commands().empty());
    b.say(1, press("S"));
    ASSERT_TRUE(waitUntil([&] { return b.commands() == (Commands { ":RS#", ":s#" }); }, 1000));
}

TEST(WebMount, OnlyTheTokenTheCookieAndThePagesOwnOriginComeIn)
{
    const QByteArray token = Access::newToken();
    EXPECT_EQ(token.size(), 32);
    EXPECT_TRUE(Access::newToken() != token);
    const Access network(false, 7626, token);
    EXPECT_TRUE(network.allowed("192.168.1.5:7626", {}, token));
    EXPECT_TRUE(network.allowed("192.168.1.5:7626", "a=b; selvane=" + token, {}));
    EXPECT_TRUE(!network.allowed("192.168.1.5:7626", {}, {}));
    QByteArray wrong = token;
    wrong[31] = wrong[31] == '0' ? '1' : '0';
    EXPECT_TRUE(!network.allowed("192.168.1.5:7626", "selvane=" + wrong, wrong));
    EXPECT_TRUE(!network.allowed("192.168.1.5:7626", "selvane=" + token.left(31), token + "0"));
    EXPECT_TRUE(network.cookie().contains("HttpOnly") && network.cookie().contains("SameSite=Strict"));
    EXPECT_TRUE(network.originAllowed("http://192.168.1.5:7626", "192.168.1.5:7626"));
    EXPECT_TRUE(!network.originAllowed("http://evil.example", "192.168.1.5:7626"));
    EXPECT_TRUE(!network.originAllowed({}, "192.168.1.5:7626"));

    // On loopback no token, but only the loopback names: a rebound outside name is refused.
    const Access loopback(true, 7626, {});
    EXPECT_TRUE(loopback.allowed("127.0.0.1:7626", {}, {}));
    EXPECT_TRUE(loopback.allowed("localhost:7626", {}, {}));
    EXPECT_TRUE(!loopback.allowed("evil.example:7626", {}, {}));
    EXPECT_TRUE(!loopback.allowed("127.0.0.1:80", {}, {}));
    EXPECT_TRUE(!loopback.originAllowed("http://localhost:7626", "127.0.0.1:7626"));
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
