// SPDX-License-Identifier: GPL-3.0-or-later
// The commands of each action, in the order they go on the line. A front end sends them with its
// own means (the window between its waits, the driver from its event loop).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace protocol {

using Commandes = std::vector<std::string>;

// Initialisation on a reference: the target, then ":i#" (the controller takes it as its position).
Commandes initialisation(double ADangle, float DECangle);
// A GOTO's first leg: the right ascension target (first, so that a log line can name it once
// sent), the declination target, then the slew; "Ok" follows when the mount is there.
Commandes premierRalliement(double ADangle, float DECangle);
// The compensation leg: the right ascension aimed again (first), then the slew.
Commandes ralliementCompensé(double ADcompensé);
// The end of a GOTO: the controller is initialised on the reference right ascension.
Commandes finRalliement(double ADréférence);

enum class Direction { Nord, Sud, Est, Ouest };
// A move: the speed held (as the front end keeps it), then the direction.
Commandes départMouvement(const std::string& vitesse, Direction direction);
// The end of a move: the axis' stop, then back to sidereal.
Commandes arrêtMouvement(Direction direction);
// The speed command of a rate: 0 sidereal, 1 centring, 2 catching up, 3 fast; empty beyond.
std::string vitesse(int rang);
inline constexpr int NombreVitesses = 4;

Commandes autoguidage(bool marche);

// A command without the blanks a front end pads speed commands with.
std::string_view sansBlancs(std::string_view commande);

} // namespace protocol
