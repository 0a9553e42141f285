#pragma once

#include <QApplication>

namespace qx {

// The game's application object. Exceptions that reach the event loop go to
// the error handler instead of ending the program, and number texts never
// depend on the user's locale.
class TQuorvexApplication : public QApplication {
    Q_OBJECT
public:
    // Rounds the screen scale to whole numbers; call before constructing.
    static void PrepareScaling();

    TQuorvexApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// Numbers in texts use "." for decimals and "," for thousands whatever the
// machine's settings: the C library's numeric locale goes back to "C" (the
// application object set it from the environment), and Qt formats with the
// C locale with group separators.
void FixNumberFormats();

} // namespace qx
