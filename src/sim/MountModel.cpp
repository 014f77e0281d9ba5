// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated mount's axes and the interpretation of the commands.
#include "sim/MountModel.h"

#include <algorithm>
#include <cmath>

#include "sim/Protocol.h"

namespace sim {

namespace {

constexpr double kTurn = static_cast<double>(kRaCountsPerTurn);
constexpr double kPole = static_cast<double>(kDecCountsAtPole);

double wrapRaPosition(double counts)
{
    const double r = std::fmod(counts, kTurn);
    return r < 0 ? r + kTurn : r;
}

std::int64_t clampDec(std::int64_t count)
{
    return std::clamp(count, -kDecCountsAtPole, kDecCountsAtPole);
}

} // namespace

double MountModel::Axis::position(double t) const
{
    double p = (end && t >= *end) ? endValue : origin + velocity * (t - t0);
    if (bounded)
        p = std::clamp(p, lower, upper);
    return p;
}

bool MountModel::Axis::moving(double t) const
{
    if (velocity == 0 || (end && t >= *end))
        return false;
    if (bounded) {
        const double p = position(t);
        if ((velocity > 0 && p >= upper) || (velocity < 0 && p <= lower))
            return false;
    }
    return true;
}

void MountModel::Axis::hold(double t)
{
    hold(position(t), t);
}

void MountModel::Axis::hold(double value, double t)
{
    origin = bounded ? std::clamp(value, lower, upper) : wrapRaPosition(value);
    t0 = t;
    velocity = 0;
    end.reset();
}

void MountModel::Axis::move(double countsPerSecond, double t)
{
    hold(t);
    velocity = countsPerSecond;
}

void MountModel::Axis::travel(double to, double countsPerSecond, double t)
{
    hold(t);
    const double distance = to - origin;
    const double duration = countsPerSecond > 0 ? std::abs(distance) / countsPerSecond : 0.0;
    velocity = duration > 0 ? distance / duration : 0.0;
    end = t + duration;
    endValue = to;
}

MountModel::MountModel(Rates rates)
    : rates_(rates)
    , manualRate_(rates.sidereal)
{
    dec_.bounded = true;
    dec_.lower = -kPole;
    dec_.upper = kPole;
}

std::int64_t MountModel::raCount(double t) const
{
    return wrapRa(static_cast<std::int64_t>(std::llround(ra_.position(t))));
}

std::int64_t MountModel::decCount(double t) const
{
    return clampDec(static_cast<std::int64_t>(std::llround(dec_.position(t))));
}

void MountModel::setPosition(std::int64_t ra, std::int64_t dec, double t)
{
    ra_.hold(static_cast<double>(wrapRa(ra)), t);
    dec_.hold(static_cast<double>(clampDec(dec)), t);
    slewArrival_.reset();
}

bool MountModel::finishSlew(double t)
{
    if (!slewArrival_ || t < *slewArrival_)
        return false;
    ra_.hold(static_cast<double>(targetRa_), t);
    dec_.hold(static_cast<double>(targetDec_), t);
    slewArrival_.reset();
    return true;
}

void MountModel::startSlew(double t)
{
    const double rate = std::max(rates_.slew, 0.0);
    // Right ascension the shorter way: the distance brought into (-half turn, +half turn].
    double distance = wrapRaPosition(static_cast<double>(targetRa_) - wrapRaPosition(ra_.position(t)));
    if (distance > kTurn / 2)
        distance -= kTurn;
    const double raStart = wrapRaPosition(ra_.position(t));
    ra_.travel(raStart + distance, rate * kRaCountsPerDegree, t);
    dec_.travel(static_cast<double>(targetDec_), rate * kDecCountsPerDegree, t);
    slewArrival_ = std::max(*ra_.end, *dec_.end);
}

void MountModel::startManual(Axis& axis, double sign, double countsPerDegree, double t)
{
    axis.move(sign * manualRate_ * countsPerDegree, t);
}

std::string MountModel::handle(std::string_view frame, double t)
{
    if (frame.size() < 2 || frame.front() != ':' || frame.back() != '#')
        return {};
    const std::string_view body = frame.substr(1, frame.size() - 2);

    if (body == "R")
        return raReply(raCount(t));
    if (body == "D")
        return decReply(decCount(t));
    if (!body.empty() && body.front() == 'r') {
        if (const auto count = parseRaFields(body.substr(1)))
            targetRa_ = wrapRa(*count);
        return {};
    }
    if (!body.empty() && body.front() == 'd') {
        if (const auto count = parseDecFields(body.substr(1)))
            targetDec_ = clampDec(*count);
        return {};
    }
    if (body == "i") {
        // The shorter way round, as the right ascension counts wrap.
        std::int64_t raShift = wrapRa(targetRa_ - raCount(t));
        if (raShift > kRaCountsPerTurn / 2)
            raShift -= kRaCountsPerTurn;
        raSyncOffset_ += raShift;
        decSyncOffset_ += clampDec(targetDec_) - decCount(t);
        setPosition(targetRa_, targetDec_, t);
    } else if (body == "T") {
        startSlew(t);
    } else if (body == "RS" || body == "S") {
        manualRate_ = rates_.sidereal;
    } else if (body == "C") {
        manualRate_ = rates_.centring;
    } else if (body == "G") {
        manualRate_ = rates_.catchUp;
    } else if (body == "M") {
        manualRate_ = rates_.fast;
    } else if (body == "A") {
        autoguiding_ = true;
    } else if (body == "a") {
        autoguiding_ = false;
    } else if (body == "e" || body == "w") {
        // ":w#" ends the move that the last ":e#" or ":w#" began, even one ignored or cut short.
        const bool ending = body == "w" && raMoveOpen_;
        raMoveOpen_ = !ending;
        if (slewing())
            return {};
        if (ending)
            ra_.hold(t);
        else
            startManual(ra_, body == "e" ? +1 : -1, kRaCountsPerDegree, t);
    } else if (!slewing()) {
        if (body == "n")
            startManual(dec_, +1, kDecCountsPerDegree, t);
        else if (body == "s")
            startManual(dec_, -1, kDecCountsPerDegree, t);
        else if (body == "0")
            dec_.hold(t);
    }
    return {};
}

} // namespace sim
