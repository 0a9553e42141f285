#include "app/CommandLine.h"

#include "app/AppInfo.h"

namespace qx {

TCommandLine TCommandLine::Parse(const QStringList& arguments) {
    TCommandLine line;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const auto value = [&](QString& into) {
            const qsizetype eq = argument.indexOf('=');
            if (eq >= 0) {
                into = argument.mid(eq + 1);
            } else if (i + 1 < arguments.size()) {
                into = arguments[++i];
            } else {
                line.Error = QString("%1 needs a folder").arg(argument);
                return;
            }
            if (into.isEmpty()) line.Error = QString("%1 needs a folder").arg(argument.section('=', 0, 0));
        };
        if (argument == "--help" || argument == "-h") {
            line.Help = true;
        } else if (argument == "--version" || argument == "-v") {
            line.Version = true;
        } else if (argument == "--screenshots" || argument.startsWith("--screenshots=")) {
            value(line.ScreenshotsFolder);
        } else if (argument == "--data" || argument.startsWith("--data=")) {
            value(line.DataFolder);
        } else {
            line.Error = QString("unknown argument \"%1\" (see quorvex --help)").arg(argument);
        }
        if (!line.Error.isEmpty()) break;
    }
    return line;
}

QString TCommandLine::Usage() {
    return QString(
               "Usage: quorvex [--screenshots DIR] [--data DIR]\n"
               "       quorvex --help | --version\n"
               "\n"
               "%1: a real-time space strategy game for up to ten players.\n"
               "Without options it opens the game window on the title screen.\n"
               "\n"
               "Options:\n"
               "  --screenshots DIR  write a PNG of every screen and dialog at scale 1 and 2\n"
               "                     into DIR (made when missing) and exit; needs no display\n"
               "  --data DIR         take the game's data (pictures, font, help, tips, syllables,\n"
               "                     scenarios, brains) from DIR\n"
               "  -h, --help         show this help and exit\n"
               "  -v, --version      show the version and exit\n"
               "\n"
               "Settings are kept in $XDG_CONFIG_HOME/quorvex/quorvex.ini (~/.config/quorvex).\n"
               "Keys: F11 full screen, F10 or a right click the Sound and Music menu.\n")
        .arg(app::Caption);
}

} // namespace qx
