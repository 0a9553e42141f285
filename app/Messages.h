#pragma once

#include <functional>
#include <utility>

#include <QString>

class QWidget;

namespace qx {

// How the program tells the player something: a message box, or one line on
// standard error while it runs without anyone to click (screenshots).
class TMessages {
public:
    static void SetQuiet(bool quiet);
    static bool Quiet();
    static void Show(QWidget* parent, const QString& text);
    static void ShowError(QWidget* parent, const QString& text);
};

// The program-wide error handler: an exception that escapes an event
// handler or a slot is shown as "An internal error occured: " + its text, and
// the program goes on.
class TErrorHandler {
public:
    static QString MessageFor(const QString& what);
    // Shows the message for the exception being handled (call in a catch).
    static void ReportCurrentException();
    static void Report(const QString& what);
    // How many errors were reported since the program started.
    static int Reported();
};

// Runs a slot's body; an exception that escapes it goes to the error handler.
template <typename Body>
void Guarded(Body&& body) {
    try {
        std::forward<Body>(body)();
    } catch (...) {
        TErrorHandler::ReportCurrentException();
    }
}

// A slot that runs guarded, for connect().
template <typename Body>
auto GuardedSlot(Body body) {
    return [body = std::move(body)](auto&&...) { Guarded(body); };
}

} // namespace qx
