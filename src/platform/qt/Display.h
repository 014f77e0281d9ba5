// Whether this machine offers a display for the window, decided before Qt would abort without one.
#pragma once

#include <QString>
#include <memory>

class QApplication;

namespace platform::qt {

// What the command line says about the windowing platform (Qt's own -platform and -display).
struct DisplayRequest {
    QString platform; // -platform, else QT_QPA_PLATFORM, else empty (Qt's default)
    QString display; // -display, else empty
};

// Why no window can be opened here, in one line; empty when a display can be had (or when the
// chosen platform needs none).
QString missingDisplay(const DisplayRequest& request);

// Creates the GUI application. Should Qt still find no usable platform, prints one line on
// standard error and ends the process with a failure status instead of aborting.
std::unique_ptr<QApplication> openApplication(int& argc, char** argv);

} // namespace platform::qt
