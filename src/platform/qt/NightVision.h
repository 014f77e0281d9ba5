// SPDX-License-Identifier: GPL-3.0-or-later
// Night vision: the whole program, window and message boxes, in dim red on black, so the eyes
// keep their dark adaptation at the eyepiece. Colours only: nothing else of the window changes.
#pragma once

#include <QPixmap>
#include <functional>

namespace platform::qt {

class NightVision {
public:
    // Switches the application's colours; the day colours come back exactly as they were.
    static void setEnabled(bool on);
    static bool enabled();
    static void toggle() { setEnabled(!enabled()); }
    // From now on Ctrl+Shift+N toggles night vision in any window of the program, a message box
    // waiting for an answer included. Calling it again changes nothing.
    static void listenForShortcut();
    // Called with the new state after each toggle by the shortcut (the program remembers it).
    static void onShortcutToggled(std::function<void(bool)> toggled);
    // A message box's icon as shown at night: its shapes kept, in red.
    static QPixmap tinted(const QPixmap& icon);
};

} // namespace platform::qt
