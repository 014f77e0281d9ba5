// SPDX-License-Identifier: GPL-3.0-or-later
// Commands and log texts of the direction buttons, speed options and autoguiding.
#pragma once

namespace motion_texts {
// Direction commands sent after the speed when a button is pressed.
inline constexpr const char* Nord = ":n#";
inline constexpr const char* Sud = ":s#";
inline constexpr const char* Est = ":e#";
inline constexpr const char* Ouest = ":w#";
// End of a move: declination axis, right ascension axis (both east and west), then sidereal.
inline constexpr const char* ArrêtDEC = ":0#";
inline constexpr const char* ArrêtAD = ":w#";
inline constexpr const char* RetourSidéral = ":S#";
// Speed commands as held in Vitesse: blank-padded to five characters.
inline constexpr const char* VitesseSidérale = ":S#  ";
inline constexpr const char* VitesseCentrage = ":C#  ";
inline constexpr const char* VitesseRattrapage = ":G#  ";
inline constexpr const char* VitesseRapide = ":M#  ";
// Autoguiding handed to the paddle and taken back, with their log lines.
inline constexpr const char* AutoguidageMarche = ":A#";
inline constexpr const char* AutoguidageArrêt = ":a#";
inline constexpr const char* LigneAutoguidageMarche = "Passage en autoguidage";
inline constexpr const char* LigneAutoguidageArrêt = "Fin de l'autoguidage ";
} // namespace motion_texts
