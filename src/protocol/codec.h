// SPDX-License-Identifier: GPL-3.0-or-later
// The controller's numbers: position replies read into counts and degrees, targets written as the
// two signed fields of the ":r" and ":d" commands.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace protocol {

// The client's right ascension is in hours, the controller's arithmetic in degrees.
inline constexpr double DegrésParHeure = 15.0;

struct ChampsRéponse {
    std::int32_t haut = 0;
    std::int32_t bas = 0;
};
// Splits a position reply into its high and low fields; nothing when the reply is malformed.
std::optional<ChampsRéponse> décoderRéponse(std::string_view reply);
// The right ascension count of a reply: (low + 32768) + high × 65536.
std::optional<double> compteAD(std::string_view reply);
// The declination count of a reply: low + high × 65536 rounded half-even, when it fits 32 bits.
std::optional<std::int32_t> compteDEC(std::string_view reply);
// The positions in degrees: right ascension brought into 0..360 once.
float degrésAD(double positionAD);
float degrésDEC(std::int32_t positionDEC);

// The target counts of angles in degrees; nothing when a count does not fit the command.
std::optional<std::int32_t> compteCibleAD(double ADangle);
std::optional<std::int32_t> compteCibleDEC(float DECangle);
// Whether a target's counts fit the controller's commands; for a GOTO also with a turn to spare
// either way, since its compensation moves the right ascension.
bool cibleEncodable(double ADangle, float DECangle, bool pourGoto);
// "longueur" zeros (none for zero or less): the padding of a field.
std::string zéros(std::int16_t longueur);
// The fields of the target commands, "+008,+18944"; empty when the count does not fit.
std::string champsCibleAD(double ADangle);
std::string champsCibleDEC(float DECangle);
// The target commands as sent: ":r" + fields + "#" and ":d" + fields + "#".
std::string commandeCibleAD(double ADangle);
std::string commandeCibleDEC(float DECangle);

// The place (degrees of right ascension, of declination) that a program's ":r…#" and ":d…#"
// commands name; nothing when either is missing or unreadable.
std::optional<std::pair<double, double>> placeDesCommandes(std::string_view cibleAD, std::string_view cibleDEC);

} // namespace protocol
