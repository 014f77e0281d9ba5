// SPDX-License-Identifier: GPL-3.0-or-later
// The clock angle and the time compensation's arithmetic.
#include "protocol/compensation.h"

#include <array>
#include <charconv>
#include <cmath>

#include "protocol/texts.h"

namespace protocol {

namespace {

// The clock shows whole seconds; beyond this the clock angle and the monotonic clock disagree.
constexpr double ÉcartHorlogesMaxS = 2.0;
// Seconds of time per degree of clock angle.
constexpr double SecondesParDegré = 240.0;
// Degrees in a turn of the clock angle (midnight) and of right ascension.
constexpr float TourHoraire = 360.0f;
constexpr double TourAD = 360.0;

// A single-precision value with at most seven significant digits and the given decimal separator.
std::string texteMinutes(float value, const std::string& séparateur)
{
    std::array<char, 64> buffer {};
    const auto [end, ec]
        = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::general, 7);
    std::string text = ec == std::errc() ? std::string(buffer.data(), end) : std::string("0");
    if (const auto point = text.find('.'); point != std::string::npos)
        text.replace(point, 1, séparateur);
    return text;
}

} // namespace

float angleHorloge(const HeureDuJour& t, float origine)
{
    const double angle = (t.hour + t.minute / 60.0 + t.second / 3600.0) * 360.0 / 24.0;
    return static_cast<float>(angle - static_cast<double>(origine));
}

float écartRalliement(float début, float fin, std::int64_t duréeMonotoneMs)
{
    float e = fin - début;
    // A slew across midnight: the clock angle started again from 0.
    if (e < 0)
        e = e + TourHoraire;
    const double secondesMonotones = static_cast<double>(duréeMonotoneMs) / 1000.0;
    if (std::fabs(static_cast<double>(e) * SecondesParDegré - secondesMonotones) > ÉcartHorlogesMaxS)
        e = static_cast<float>(secondesMonotones / SecondesParDegré);
    return e;
}

double ADcompensé(double AD, float écart)
{
    // The mount turned with the sky while it slewed: aim that much lower in right ascension.
    double corrigé = AD - static_cast<double>(écart);
    if (corrigé < 0)
        corrigé = corrigé + TourAD;
    return corrigé;
}

std::string ligneCompensation(float écart, const std::string& séparateurDécimal)
{
    return protocol_texts::ErreurCompensation + texteMinutes(écart * 60.0f, séparateurDécimal) + "'";
}

} // namespace protocol
