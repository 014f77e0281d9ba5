// SPDX-License-Identifier: GPL-3.0-or-later
// The mount as every page sees it: one protocol session, the rules that protect the mount (the
// watchdog on held moves, the questions before a GOTO, one GOTO at a time) and the messages of the
// live channel. Pages are numbers here; how their messages travel is the HTTP front's business.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "alignment/Alignment.h"
#include "langue/langue.h"
#include "window/app/frmTKR52princ.h"
#include "protocol/MountSession.h"
#include "sky/site.h"
#include "web/QtLoop.h"
#include "web/texts.h"

namespace web {

// A QObject for its connections' lifetime only: no signals of its own.
class WebMount : public QObject {
public:
    struct Options {
        std::optional<sky::Lieu> lieu;
        int silenceMs = web_limits::SilenceMaxMs;
        int longestMoveS = web_limits::DuréeMaxMouvementS;
        int queryMs = web_limits::IntervalleRequêteMs;
        // Each command as written and each reply as read, for --trace.
        std::function<void(bool written, const std::string& bytes)> trace;
    };
    // A page number that means every page.
    static constexpr int ToutesLesPages = -1;

    WebMount(int fd, Options options);
    ~WebMount() override;

    // A page connected: it is sent the whole state, and every text it is sent is in its language
    // (nothing: the program's own).
    void join(int page, std::optional<langue::Langue> langue = std::nullopt);
    // A page went away: the moves it held end.
    void leave(int page);
    // One message of a page, as its text; a malformed one is dropped.
    void receive(int page, const QByteArray& message);
    // Ends every move open (before the line closes).
    void stopMoves();
    protocol::MountSession& session() { return *session_; }

    // A message for one page, or for every page (ToutesLesPages).
    std::function<void(int page, const QByteArray& message)> send;

private:
    enum Axe { AxeDEC, AxeAD };
    enum class Étape { Goto, Soleil, Horizon, Init };
    struct Question {
        int id = 0;
        Étape étape = Étape::Goto;
        double ad = 0; // degrees
        float dec = 0;
    };
    struct Page {
        langue::Langue langue = langue::Langue::fr;
        std::int64_t dernierSigneMs = 0;
        std::optional<Question> question;
    };
    struct Mouvement {
        int page = -1;
        std::int64_t débutMs = 0;
    };

    void readable();
    void queryTick();
    void press(int page, const QString& direction);
    void release(const QString& direction);
    void watch();
    void endMove(Axe axe, const std::function<QString()>& why = {});
    void speed(int index);
    void autoguiding(bool on);
    void search(int page, const QString& text);
    void choose(int page, const QString& text);
    void paste(int page, const QString& text);
    void fields(int page, const frmTKR52princ::PiècesCoordonnées& champs, const QString& label);
    void pointing(int page, const QJsonObject& m, Étape étape);
    void answer(int page, int id, bool ok);
    void ask(int page, Étape étape, double ad, float dec, const QString& text, bool okDefault);
    void afterQuestion(int page, Question q);
    void startGoto(int page, double ad, float dec);
    void align(int page, double ad, double dec);
    struct ÉtoileEnAttente {
        int page;
        double ad, dec;
    };
    void addStar(const ÉtoileEnAttente& étoile);
    std::optional<std::pair<double, float>> readFields(const QJsonObject& m) const;

    // The position is no longer known: every page is told why, the terminal the system's reason.
    void linkDown(const protocol::Incident& why);
    void toPage(int page, const QJsonObject& m);
    void log(int page, const QString& line);
    // A message with texts for every page: made once in each language that a page reads.
    void toAll(const std::function<QJsonObject()>& make);
    void logAll(const std::function<QString()>& line);
    void info(int page, const QString& text);
    QJsonObject moves() const;
    QJsonObject state() const;

    Options options;
    QtLoop loop;
    std::unique_ptr<protocol::MountSession> session_;
    std::unique_ptr<QSocketNotifier> notifier;
    QTimer queryTimer;
    QTimer watchdog;
    std::map<int, Page> pages;
    std::array<Mouvement, 2> mouvements;
    int nextQuestion = 1;
    int speedIndex = 0;
    bool autoguidage = false;
    bool lineGone = false;
    // Why the position is not known (the link is down), worded in each page's language; none while it is.
    std::optional<protocol::Incident> linkWhy;
    QString ra, dec;
    bool positionKnown = false;
    double countAD = 0;
    std::int32_t countDEC = 0;
    // Alignment: the stars of this night, and a star waiting for the position to be read.
    alignment::Alignment étoiles;
    bool initialisé = false;
    std::optional<ÉtoileEnAttente> étoileEnAttente;
};

} // namespace web
