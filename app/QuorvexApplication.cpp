#include "app/QuorvexApplication.h"

#include <clocale>

#include <QLocale>

#include "app/AppInfo.h"
#include "app/Messages.h"

namespace qx {

void TQuorvexApplication::PrepareScaling() {
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
}

TQuorvexApplication::TQuorvexApplication(int& argc, char** argv) : QApplication(argc, argv) {
    FixNumberFormats();
    setApplicationName(app::SettingsFolder);
    setApplicationDisplayName(app::Title);
    setApplicationVersion(app::VersionText);
    setDesktopFileName("quorvex");
}

bool TQuorvexApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        TErrorHandler::ReportCurrentException();
        return false;
    }
}

void FixNumberFormats() {
    std::setlocale(LC_NUMERIC, "C");
    QLocale numbers = QLocale::c();
    numbers.setNumberOptions(QLocale::DefaultNumberOptions);
    QLocale::setDefault(numbers);
}

} // namespace qx
