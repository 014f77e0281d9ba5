// SPDX-License-Identifier: GPL-3.0-or-later
// The controller's command set and the time limits of its replies, as every front end sends them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace protocol {

// Position query: one command per axis, each answered by ":high,low#".
inline constexpr const char* DemandeAD = ":R#";
inline constexpr const char* DemandeDEC = ":D#";
// Target commands wrap the encoders' texts: ":r" … "#" and ":d" … "#".
inline constexpr const char* CibleAD = ":r";
inline constexpr const char* CibleDEC = ":d";
inline constexpr const char* FinCommande = "#";
// The controller takes the target as its present position.
inline constexpr const char* Initialiser = ":i#";
// Slew to the target; the controller answers "Ok" when the slew ends.
inline constexpr const char* Pointer = ":T#";
inline constexpr const char* FinDeRalliement = "Ok";

// Direction commands sent after the speed when a move starts.
inline constexpr const char* Nord = ":n#";
inline constexpr const char* Sud = ":s#";
inline constexpr const char* Est = ":e#";
inline constexpr const char* Ouest = ":w#";
// End of a move: declination axis, right ascension axis (both east and west), then sidereal.
inline constexpr const char* ArrêtDEC = ":0#";
inline constexpr const char* ArrêtAD = ":w#";
inline constexpr const char* RetourSidéral = ":S#";
// Speed commands as a front end keeps them: blank-padded to five characters.
inline constexpr const char* VitesseSidérale = ":S#  ";
inline constexpr const char* VitesseCentrage = ":C#  ";
inline constexpr const char* VitesseRattrapage = ":G#  ";
inline constexpr const char* VitesseRapide = ":M#  ";
// The speed held before any option is chosen.
inline constexpr const char* VitesseDépart = ":RS# ";
// Autoguiding handed to the paddle and taken back.
inline constexpr const char* AutoguidageMarche = ":A#";
inline constexpr const char* AutoguidageArrêt = ":a#";

// A position reply that has not ended with its "#" this long after its command is given up.
inline constexpr std::int64_t DélaiRéponsePositionMs = 2000;
// Longest a slew may take before a GOTO gives up waiting for "Ok".
inline constexpr std::int64_t DélaiOkMs = 300'000;
// While the line is suspect, nothing may arrive this long after a reply (a reply at 9600 baud
// takes some 15 ms on the line).
inline constexpr std::int64_t SilenceEntreRéponsesMs = 150;
inline constexpr std::int64_t MsParSeconde = 1000;

// More characters than this before the "#" make a reply malformed.
inline constexpr std::size_t LongueurMaxChamps = 32;
// A reply is not collected beyond this many characters (the line is garbled).
inline constexpr std::size_t LongueurMaxRéponse = 1024;
// The text read while waiting for "Ok" keeps only its last characters.
inline constexpr std::size_t LongueurMaxRéponseOk = 1000;

} // namespace protocol
