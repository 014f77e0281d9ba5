// SPDX-License-Identifier: GPL-3.0-or-later
// The controller protocol driven by events instead of waits: the same command sequences, codec,
// framing and time compensation as every front end. Reads come when the front end says the port
// is readable, time limits from the front end's timers; nothing here blocks. Failures are
// reported as codes, which each front end words. No event library in here, so the tests drive it
// over a pseudo-terminal with a loop of their own.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "protocol/compensation.h"
#include "protocol/framing.h"
#include "protocol/sequences.h"
#include "protocol/wire.h"

namespace protocol {

// Timers and the clocks, as the front end's event loop offers them.
class Loop {
public:
    virtual ~Loop() = default;
    // Calls fn once after ms; the id cancels it.
    virtual int addTimer(int ms, std::function<void()> fn) = 0;
    virtual void removeTimer(int id) = 0;
    // Cancels timer id if it is set, and marks it unset.
    void cancel(int& id)
    {
        if (id >= 0)
            removeTimer(id);
        id = -1;
    }
    virtual HeureDuJour localTime() const = 0;
    virtual std::int64_t monotonicMs() const = 0;
};

// Why something failed.
enum class Échec {
    PasDeRéponse, // no complete reply within the reply time limit
    RéponseIllisible, // détail: the reply
    RéponseDécalée, // more came after a reply on a suspect line: it answered an earlier command
    PasDeOk, // no "Ok" within the slew time limit
    Raccroché, // the far end hung up
    ErreurLecture, // détail: the system's reason
    ErreurÉcriture, // détail: the system's reason
    ÉcritureBloquée, // the port takes nothing more
};
struct Incident {
    Échec code;
    std::string détail;
};

// Why a client's target is refused.
enum class ProblèmeCible {
    NonNombre, // not a number
    HorsLimites, // outside 0..24 h or -90..+90°
    Incodable, // beyond what the controller's commands can carry
};

// What the session reports to its front end.
struct SessionEvents {
    // The connection check: nothing when the controller answered well, else why not.
    std::function<void(const std::optional<Incident>& échec)> checked;
    // A complete, well-formed position: right ascension in hours (0..24), declination in degrees.
    std::function<void(double raHours, double decDegrees)> position;
    // A query that went wrong; the last good position stands.
    std::function<void(const Incident& échec)> positionFailed;
    // The GOTO is over: after its final ":i#" (nothing), or given up (why).
    std::function<void(const std::optional<Incident>& échec)> slewEnded;
    // The log lines of a GOTO.
    std::function<void(const std::string& message)> log;
    // Read or write error, hang-up: said once; the session then refuses everything.
    std::function<void(const Incident& why)> linkLost;
    // When the line is shared: bytes read that another party waits for; says how many it took.
    std::function<std::size_t(std::string_view bytes)> elsewhere;
    // The text of each well-formed position reply, right ascension's (ra) or declination's.
    std::function<void(bool ra, const std::string& reply)> positionReply;
    // Each command once it is written whole, for a front end's trace of the line.
    std::function<void(const std::string& command)> written;
};

class MountSession {
public:
    // Time limits; tests shorten them.
    struct Limits {
        int replyMs = DélaiRéponsePositionMs;
        int slewMs = DélaiOkMs;
        int quietMs = SilenceEntreRéponsesMs; // a suspect line must stay quiet this long after a reply
    };

    // fd: the open serial line, non-blocking; owned by the caller.
    MountSession(int fd, Loop& loop, SessionEvents events, Limits limits);
    MountSession(int fd, Loop& loop, SessionEvents events)
        : MountSession(fd, loop, std::move(events), Limits {})
    {
    }
    ~MountSession();
    MountSession(const MountSession&) = delete;
    MountSession& operator=(const MountSession&) = delete;

    // The port has something to read (or has hung up).
    void readable();

    // One ":R#" answered in time with a well-formed reply; reports through checked.
    void check();
    // A full position query; false (nothing sent) when a query or a GOTO holds the line.
    bool query();

    // The checks a client's target must pass before anything is sent; nothing when it may go.
    static std::optional<ProblèmeCible> targetProblem(double raHours, double decDegrees);
    // A GOTO and its time compensation; false when refused (nothing sent).
    bool slew(double raHours, double decDegrees);
    // The initialisation on a target.
    bool sync(double raHours, double decDegrees);
    bool slewing() const { return stage != Stage::Idle; }
    // A query (or the check) waits for its reply.
    bool awaitingReply() const { return query_ != Query::None; }
    // Writes a command of another party of a shared line, as it came; the moves it starts or ends
    // are the mount's. False when the line is gone.
    bool relay(const std::string& command);

    // Rates: 0 Sidéral, 1 Centrage, 2 Rattrapage, 3 Rapide.
    void setRate(int index);
    bool startNS(bool north);
    bool stopNS();
    bool startWE(bool west);
    bool stopWE();
    bool movingNS() const { return nsMoving; }
    bool movingWE() const { return weMoving; }
    // The direction of the move open on each axis (meaningful while it moves).
    bool movingNorth() const { return nsNorth; }
    bool movingWest() const { return weWest; }
    // Ends every move in progress with its stop pair (before the port closes).
    void stopMoves();
    bool setAutoguiding(bool on);

    // The last target commands written (":r…#", ":d…#"), whoever sent them; empty until one is:
    // what a ":T#" sent now would slew to.
    const std::string& lastTargetRa() const { return targetRa; }
    const std::string& lastTargetDec() const { return targetDec; }

    // Commands written so far (each ends with "#"), for a simulator to catch up before it stops.
    std::size_t commandsSent() const { return commandCount; }

private:
    enum class Query { None, Check, Ra, Dec };
    enum class Stage { Idle, First, Second };

    bool send(const std::string& command);
    bool send(const Commandes& commands);
    // A move starts or stops on one axis; moving says whether that axis now moves.
    // first: the move open is north (or west) rather than south (or east).
    bool startMove(Direction direction, bool& moving, bool& first);
    bool stopMove(Direction direction, bool& moving);
    void loseLink(Échec code, const std::string& détail = {});
    void take(char c);
    void replyComplete();
    void replyTimedOut();
    void endQuery(Échec code, const std::string& détail = {});
    void afterQuiet();
    void startRaQuery(Query kind);
    void okSeen();
    void slewTimedOut();

    const int fd;
    Loop& loop;
    SessionEvents events;
    const Limits limits;

    bool linkGone = false;
    std::size_t commandCount = 0;
    Query query_ = Query::None;
    LecteurRéponse reader;
    int replyTimer = -1;
    int quietTimer = -1;
    bool noiseDuringQuiet = false;
    bool suspect = false; // after a time-out or garbage, until a query goes through cleanly
    std::optional<double> pendingRa;
    std::optional<std::int32_t> pendingDec;

    Stage stage = Stage::Idle;
    AttenteOk okWait;
    int slewTimer = -1;
    double objectAD = 0;
    float objectDEC = 0;
    float TempsGOTO = 0;
    std::int64_t slewStartMs = 0;

    std::string targetRa;
    std::string targetDec;

    std::string Vitesse;
    bool nsMoving = false;
    bool weMoving = false;
    bool nsNorth = false;
    bool weWest = false;
};

} // namespace protocol
