// assetgen OUTDIR: draws the game's palettes and pictures and makes its sounds and
// music into OUTDIR.

#include "tools/assetgen/AssetWriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstring>
#include <exception>

namespace {

void PrintUsage(std::FILE* to)
{
    std::fprintf(to,
                 "Usage: assetgen [--no-preview] OUTDIR\n"
                 "Draws the game's palettes, cell sheets, tiles, explosions, title picture,\n"
                 "digit strip and targeting cursor into OUTDIR, and enlarged previews of them\n"
                 "into OUTDIR/preview (unless --no-preview); synthesises the fifteen sound\n"
                 "effects into OUTDIR/sounds and composes the MIDI music into OUTDIR/music.\n"
                 "The output is the same on every run.\n");
}

} // namespace

int main(int argc, char** argv)
{
    bool previews = true;
    const char* folder = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            PrintUsage(stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--no-preview") == 0) {
            previews = false;
        } else if (argv[i][0] == '-' || folder) {
            std::fprintf(stderr, "assetgen: unexpected argument \"%s\"\n", argv[i]);
            PrintUsage(stderr);
            return 2;
        } else {
            folder = argv[i];
        }
    }
    if (!folder) {
        PrintUsage(stderr);
        return 2;
    }
    // Drawing into pictures needs no display; the application object only
    // lets Qt find its image format plugins.
    QCoreApplication app(argc, argv);
    try {
        QElapsedTimer timer;
        timer.start();
        const QStringList written = qx::art::TAssetWriter(QString::fromLocal8Bit(folder)).WriteAll(previews);
        std::printf("assetgen: wrote %lld files to %s in %lld ms\n", static_cast<long long>(written.size()), folder,
                    static_cast<long long>(timer.elapsed()));
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "assetgen: %s\n", e.what());
        return 1;
    }
}
