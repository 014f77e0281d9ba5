// SPDX-License-Identifier: GPL-3.0-or-later
// A started window on the platform doubles, with a scripted controller.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "window/app/frmTKR52princ.h"
#include "platform/fake/Fakes.h"

struct StartedWindow : ::testing::Test {
    fake::FakePlatform p;
    frmTKR52princ f{p, p.system};

    StartedWindow() { f.Form_Load(); }

    // The controller answers each command in the map at once with its reply.
    void answer(std::map<std::string, std::string> replies)
    {
        p.port.onWrite = [this, replies = std::move(replies)](const std::string& command) {
            if (const auto it = replies.find(command); it != replies.end())
                p.port.arrive(it->second);
        };
    }
    std::string log() { return p.text("edtsaisie").content; }
    std::string alpha() { return p.labelNamed("affalpha").captionText; }
    std::string delta() { return p.labelNamed("affdelta").captionText; }
    void setFields(const std::string& h, const std::string& m, const std::string& s, const std::string& d,
                   const std::string& dm, const std::string& ds)
    {
        p.text("EdtADréfHrs").content = h;
        p.text("EdtADréfMin").content = m;
        p.text("EdtADréfSec").content = s;
        p.text("EdtDECréfDeg").content = d;
        p.text("EdtDECréfMin").content = dm;
        p.text("EdtDECréfSec").content = ds;
    }
    bool journalHas(const std::string& entry)
    {
        return std::find(p.journal.begin(), p.journal.end(), entry) != p.journal.end();
    }
};
