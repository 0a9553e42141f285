#include "render/qt/GameFonts.h"

#include "render/IndexedBitmap.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include <QCoreApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QString>
#include <QStringList>

namespace qx {

namespace {

// Family registered from finalnew.ttf, empty until one is installed.
QString& DisplayFamily() {
    static QString family;
    return family;
}

// Condensed sans faces stay legible without anti-aliasing at 8 to 14 pixels.
const char* const kDisplaySubstitute = "DejaVu Sans Condensed";
const char* const kCaptionSubstitute = "DejaVu Sans Condensed";

} // namespace

void EnsureGuiApplication() {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        if (!qobject_cast<QGuiApplication*>(app))
            throw ERenderError("Drawing text needs a Qt GUI application, not a console one");
        return;
    }
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Without a runtime folder Qt warns on standard error, which would spoil
    // the one-line messages of the command line tools: give it a private one.
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        const std::string folder = "/tmp/runtime-" + std::to_string(::getuid());
        ::mkdir(folder.c_str(), 0700);
        struct stat info {};
        if (::stat(folder.c_str(), &info) == 0 && info.st_uid == ::getuid() && (info.st_mode & 077) == 0)
            ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 0);
    }
    // Qt keeps references to argc and argv for the application's lifetime.
    static int argc = 1;
    static char name[] = "quorvex";
    static char* argv[] = {name, nullptr};
    // Never destroyed: tearing Qt down during static destruction is unsafe.
    new QGuiApplication(argc, argv);
}

bool InstallDisplayFont(const std::string& path) {
    const int id = QFontDatabase::addApplicationFont(QString::fromStdString(path));
    if (id < 0) return false;
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty()) return false;
    DisplayFamily() = families.front();
    return true;
}

int FontPixelSize(int points) {
    const int pixels = (points * 96 + 36) / 72;
    return pixels < 1 ? 1 : pixels;
}

QFont GameFont(const TFont& font) {
    QString family;
    bool bold = font.Bold;
    if (font.Name == "Final Frontier") {
        family = DisplayFamily().isEmpty() ? QString(kDisplaySubstitute) : DisplayFamily();
        // The substitute is plainer than the display face it stands in for.
        if (DisplayFamily().isEmpty()) bold = true;
    } else if (font.Name == "Small Fonts") {
        family = kCaptionSubstitute;
    } else {
        family = QString::fromStdString(font.Name);
    }
    QFont result(family);
    result.setPixelSize(FontPixelSize(font.Size));
    result.setBold(bold);
    result.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    result.setHintingPreference(QFont::PreferFullHinting);
    return result;
}

} // namespace qx
