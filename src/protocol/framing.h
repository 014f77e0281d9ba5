// SPDX-License-Identifier: GPL-3.0-or-later
// The framing of what the controller sends: the position reply (skip to ":", collect to "#") and
// the slew-done wait (read until "Ok"). Shared by every front end's waits, which
// feed them one character at a time from their own reads.
#pragma once

#include <string>

namespace protocol {

// A position reply: everything before the first ":" is dropped, then characters are collected up
// to and including the first "#". A line that never sends its "#" ends the reply at a length limit.
class LecteurRéponse {
public:
    // Takes one character; true once the reply is complete (its "#", or the length limit).
    bool ajouter(char c);
    // ":" followed by what was collected: the reply text once complete.
    std::string réponse() const { return ":" + collecté; }
    void recommencer();

private:
    bool aDeuxPoints = false;
    std::string collecté;
};

// The slew-done wait: every character read is kept (the last ones only) until the text holds "Ok".
class AttenteOk {
public:
    // Takes one character; true once "Ok" has been read.
    bool ajouter(char c);
    const std::string& réponse() const { return texte; }
    void recommencer() { texte.clear(); }

private:
    std::string texte;
};

} // namespace protocol
