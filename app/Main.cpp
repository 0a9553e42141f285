// quorvex: the game window. See quorvex --help.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QStringList>

#include "app/AppInfo.h"
#include "app/CommandLine.h"
#include "app/DataFolder.h"
#include "app/GameAudio.h"
#include "app/MainForm.h"
#include "app/Messages.h"
#include "app/QuorvexApplication.h"
#include "app/RegistryManager.h"
#include "app/Screenshots.h"
#include "controls/GameStyle.h"
#include "render/qt/GameFonts.h"

namespace {

// Qt wants a private runtime folder; without one it complains on every run.
void EnsureRuntimeFolder() {
    if (std::getenv("XDG_RUNTIME_DIR")) return;
    const std::string folder = "/tmp/runtime-" + std::to_string(::getuid());
    ::mkdir(folder.c_str(), 0700);
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0 && info.st_uid == ::getuid() && (info.st_mode & 077) == 0)
        ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 0);
}

// Sounds and music when the build has them. Without a sound device the game
// goes on silent after one message on standard error.
std::unique_ptr<qx::IGameAudio> MakeAudio(const QString& data) {
#ifdef QX_HAVE_SOUND
    return std::make_unique<qx::TGameAudio>(
        QDir(data).absolutePath().toStdString(),
        [](const std::string& message) { std::fprintf(stderr, "quorvex: %s\n", message.c_str()); });
#else
    (void)data;
    return std::make_unique<qx::TSilentAudio>();
#endif
}

} // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const qx::TCommandLine line = qx::TCommandLine::Parse(arguments);
    if (!line.Error.isEmpty()) {
        std::fprintf(stderr, "quorvex: %s\n", qPrintable(line.Error));
        return 2;
    }
    if (line.Help) {
        std::fputs(qPrintable(qx::TCommandLine::Usage()), stdout);
        return 0;
    }
    if (line.Version) {
        std::printf("%s\n", qx::app::Caption);
        return 0;
    }
    const bool screenshots = !line.ScreenshotsFolder.isEmpty();
    // Pictures of the screens need no display and never open a window.
    if (screenshots) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    EnsureRuntimeFolder();

    // 1. The application.
    qx::TQuorvexApplication::PrepareScaling();
    int qtArgc = 1;
    qx::TQuorvexApplication application(qtArgc, argv);
    qx::TMessages::SetQuiet(screenshots);
    try {
        const QString data = qx::TDataFolder::Locate(line.DataFolder);
        if (!QFileInfo(QDir(data).filePath(qx::TDataFolder::Marker)).isFile())
            std::fprintf(stderr, "quorvex: the game's data was not found (looked for %s in %s); see --data\n",
                         qx::TDataFolder::Marker, qPrintable(QDir::toNativeSeparators(data)));
        // 2. The display font, from beside the program.
        qx::InstallDisplayFont(QDir(data).filePath("finalnew.ttf").toStdString());
        QApplication::setFont(qx::TextFont(13));
        // 3. Title, icon and help (the help page is found in the data folder).
        QApplication::setApplicationDisplayName(qx::app::Title);
        QIcon icon;
        for (int size : {16, 32, 48, 64, 128, 256})
            icon.addFile(QDir(data).filePath(QString("icons/quorvex-%1.png").arg(size)), QSize(size, size));
        // Installed, the icons live in the desktop's icon theme instead.
        if (icon.availableSizes().isEmpty()) icon = QIcon::fromTheme("quorvex");
        if (!icon.isNull()) QApplication::setWindowIcon(icon);
        // 4. The windows.
        qx::TfrmMain main(data, qx::TRegistryManager::DefaultFile(), MakeAudio(data));
        if (screenshots) {
            main.SetTipsAtStart(false);
            main.show();
            // The same size on every machine, whatever size was saved.
            main.resize(qx::app::MinimumWidth, qx::app::MinimumHeight);
            QApplication::processEvents();
            const QStringList files = qx::TScreenshots::Take(main, line.ScreenshotsFolder);
            for (const QString& file : files) std::printf("%s\n", qPrintable(QDir::toNativeSeparators(file)));
            std::printf("quorvex: wrote %lld screenshots to %s\n", static_cast<long long>(files.size()),
                        qPrintable(QDir::toNativeSeparators(line.ScreenshotsFolder)));
            return 0;
        }
        main.show();
        // 5. The message loop, until the main window closes.
        return application.exec();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quorvex: %s\n", e.what());
        return 1;
    }
}
