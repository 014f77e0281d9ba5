// SPDX-License-Identifier: GPL-3.0-or-later
// The one wait on the line, shared by the position query and the GOTO's "Ok" waits.
#pragma once

#include "window/app/frmTKR52princ.h"

// Each pass lets pending events run, then reads the line once. A pass that finds nothing sleeps
// until the next event or the time limit, so a silent controller costs no CPU.
template <class OnChar>
frmTKR52princ::FinAttente frmTKR52princ::attendreLigne(std::int64_t limiteMs, OnChar&& onChar)
{
    ++profondeurAttente;
    struct Sortie {
        int& profondeur;
        ~Sortie() { --profondeur; }
    } sortie{profondeurAttente};

    const std::int64_t échéance = système.monotonicMs() + limiteMs;
    for (;;) {
        système.doEvents();
        if (MSComm1.linkLost())
            liaisonPerdue();
        if (coupée)
            return FinAttente::LiaisonPerdue;
        if (système.monotonicMs() >= échéance) {
            // The wait may have been held up past its limit (a box left open, a slow machine):
            // what the line already holds still counts; only a reply that has not come is late.
            // At most what the port holds at once: a peer flooding the line cannot keep this
            // pass from returning to the events.
            int restant = platform::TamponRéceptionMax;
            for (std::string lu = MSComm1.input(); !lu.empty() && restant > 0; lu = MSComm1.input()) {
                restant -= static_cast<int>(lu.size());
                for (char c : lu)
                    if (onChar(c))
                        return FinAttente::Atteint;
            }
            return FinAttente::Délai;
        }
        const std::string lu = MSComm1.input();
        if (lu.empty()) {
            // Nothing waiting: sleep until serial data, user input or a timer wakes us.
            système.waitForEvents(échéance);
            continue;
        }
        for (char c : lu)
            if (onChar(c))
                return FinAttente::Atteint;
    }
}

