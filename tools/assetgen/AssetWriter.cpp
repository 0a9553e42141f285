#include "tools/assetgen/AssetWriter.h"

#include "tools/assetgen/ArtPalette.h"
#include "tools/assetgen/CursorFile.h"
#include "tools/assetgen/EffectArtist.h"
#include "tools/assetgen/IconArtist.h"
#include "tools/assetgen/IndexedImage.h"
#include "tools/assetgen/MusicComposer.h"
#include "tools/assetgen/ShipArtist.h"
#include "tools/assetgen/SoundArtist.h"
#include "tools/assetgen/SpaceArtist.h"
#include "tools/assetgen/TitleArtist.h"

#include <QBuffer>
#include <QDir>
#include <QSaveFile>

#include <stdexcept>

namespace qx::art {

namespace {

QByteArray BmpBytes(const QImage& indexed)
{
    if (indexed.format() != QImage::Format_Indexed8 || indexed.colorCount() != 256)
        throw std::runtime_error("internal: a data picture must be 8-bit with 256 colours");
    // A fixed resolution: Qt would otherwise write the screen's, and the same
    // picture would come out different with or without a display.
    QImage picture = indexed;
    picture.setDotsPerMeterX(2835);
    picture.setDotsPerMeterY(2835);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "BMP"))
        throw std::runtime_error("internal: the BMP writer refused a picture");
    return bytes;
}

QByteArray PngBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw std::runtime_error("internal: the PNG writer refused a picture");
    return bytes;
}

// Copies a transparent sheet cell onto a background, as the board would.
void Blit(QImage& target, int tx, int ty, const QImage& sheet, int sx, int sy, int w, int h)
{
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int index = sheet.pixelIndex(sx + x, sy + y);
            if (index != 0)
                target.setPixel(tx + x, ty + y, static_cast<uint>(index));
        }
}

// A small board as the game would show it: tiles, a nebula, systems, a
// wormhole and ships of several players, so legibility can be judged.
QImage BoardPreview(const TArtPalette& palette, const QImage& tiles, const QImage& ships, const QImage& systems,
                    const QImage& wormhole)
{
    constexpr int kCellsX = 16, kCellsY = 10, kCell = 30;
    QImage board = NewIndexed(kCellsX * kCell, kCellsY * kCell, palette);
    for (int cy = 0; cy < kCellsY; ++cy)
        for (int cx = 0; cx < kCellsX; ++cx) {
            const bool nebula = (cx - 9) * (cx - 9) + (cy - 5) * (cy - 5) * 2 < 14;
            const int tile = nebula ? 34 + (cx * 7 + cy * 3) % 6 : (cx * 13 + cy * 29) % 34;
            const int variant = (cx * 5 + cy * 11) % 6;
            Blit(board, cx * kCell, cy * kCell, tiles, tile * kCell, variant * kCell, kCell, kCell);
        }
    for (int i = 0; i < 4; ++i)
        Blit(board, (2 + i * 4) * kCell - 1, (i % 2 == 0 ? 1 : 7) * kCell, systems, 0, (i * 3 % 12) * kCell, 32, kCell);
    Blit(board, 13 * kCell, 3 * kCell, wormhole, 0, 0, kCell, kCell);
    for (int type = 0; type < TShipArtist::kTypes; ++type) {
        const int player = type % 10;
        const int column = 2 * type + (type % 3 == 0 ? 1 : 0);
        const int cx = 1 + (type % 11) * 1 + (type / 11) * 3, cy = 3 + (type / 11) * 2 + type % 2;
        Blit(board, cx * kCell, cy * kCell, ships, column * kCell, player * kCell, kCell, kCell);
    }
    return board;
}

} // namespace

QStringList TAssetWriter::DataFiles()
{
    QStringList names = {"MainPalette.txt",      "TitlePalette.txt",     "StarShips.bmp",        "StarSystems.bmp",
                         "Wormhole.bmp",         "Tiles.bmp",            "Explosion200.bmp",     "Explosion100.bmp",
                         "TitleScreen.bmp",      "Digits.bmp",           "TARGET.CUR",           "icons/quorvex-16.png",
                         "icons/quorvex-32.png", "icons/quorvex-48.png", "icons/quorvex-64.png", "icons/quorvex-128.png",
                         "icons/quorvex-256.png"};
    return names + SoundFiles() + MusicFiles();
}

QStringList TAssetWriter::SoundFiles()
{
    QStringList names;
    for (const TGameSoundEntry& entry : GameSoundTable())
        names << QStringLiteral("sounds/") + QString::fromLatin1(entry.FileName);
    return names;
}

QStringList TAssetWriter::MusicFiles()
{
    return {"music/Title.mid", "music/Drift.mid", "music/Pursuit.mid", "music/Triumph.mid"};
}

void TAssetWriter::Write(const QString& name, const QByteArray& bytes) const
{
    // Written beside the target and renamed, so a reader never sees half a file.
    QSaveFile file(QDir(folder_).filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw std::runtime_error("cannot write " + file.fileName().toStdString() + ": " +
                                 file.errorString().toStdString());
}

QStringList TAssetWriter::WriteAll(bool previews) const
{
    const QDir out(folder_);
    bool made = QDir().mkpath(folder_);
    for (const char* sub : {"icons", "sounds", "music"}) made = made && out.mkpath(sub);
    if (!made || (previews && !out.mkpath("preview")))
        throw std::runtime_error("cannot create the folder " + folder_.toStdString());

    const TArtPalette main = TArtPalette::Main();
    const TShipArtist shipArtist(main);
    const TSpaceArtist space(main);
    const TEffectArtist effects(main);
    const TTitleArtist title;

    const QImage ships = shipArtist.Sheet();
    const QImage systems = space.StarSystems();
    const QImage wormhole = space.Wormhole();
    const QImage tiles = space.Tiles();
    const QImage explosion200 = effects.Explosion(200, 2001);
    const QImage explosion100 = effects.Explosion(100, 1001);
    const QImage titlePicture = title.Picture();
    const QImage digits = effects.Digits();
    const QImage cursor = TCursorFile::Crosshair();

    QStringList written;
    auto put = [&](const QString& name, const QByteArray& bytes) {
        Write(name, bytes);
        written << name;
    };
    put("MainPalette.txt", QByteArray::fromStdString(main.ToText()));
    put("TitlePalette.txt", QByteArray::fromStdString(title.Palette().ToText()));
    put("StarShips.bmp", BmpBytes(ships));
    put("StarSystems.bmp", BmpBytes(systems));
    put("Wormhole.bmp", BmpBytes(wormhole));
    put("Tiles.bmp", BmpBytes(tiles));
    put("Explosion200.bmp", BmpBytes(explosion200));
    put("Explosion100.bmp", BmpBytes(explosion100));
    put("TitleScreen.bmp", BmpBytes(titlePicture));
    put("Digits.bmp", BmpBytes(digits));
    put("TARGET.CUR", TCursorFile::Encode(cursor, TCursorFile::CrosshairHotSpot()));
    for (int size : TIconArtist::Sizes())
        put(QString("icons/quorvex-%1.png").arg(size), PngBytes(TIconArtist::Icon(size)));

    // The fifteen sound effects and the background music.
    auto bytes = [](const std::vector<uint8_t>& data) {
        return QByteArray(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size()));
    };
    for (const TGameSoundEntry& entry : GameSoundTable())
        put(QStringLiteral("sounds/") + QString::fromLatin1(entry.FileName), bytes(TSoundArtist::WaveImage(entry)));
    for (const TMusicPiece& piece : TMusicComposer::Pieces())
        put(QStringLiteral("music/") + QString::fromStdString(piece.FileName), bytes(piece.Midi));

    if (previews) {
        // The ship sheet in two halves, large enough to judge each silhouette.
        put("preview/ships-1.png", PngBytes(Enlarged(ships.copy(0, 0, 22 * 30, ships.height()), 4)));
        put("preview/ships-2.png", PngBytes(Enlarged(ships.copy(22 * 30, 0, 24 * 30, ships.height()), 4)));
        put("preview/starsystems.png", PngBytes(Enlarged(systems, 4)));
        put("preview/wormhole.png", PngBytes(Enlarged(wormhole, 4)));
        put("preview/tiles.png", PngBytes(Enlarged(tiles, 2)));
        put("preview/explosion200.png", PngBytes(Enlarged(explosion200, 2)));
        put("preview/explosion100.png", PngBytes(Enlarged(explosion100, 3)));
        put("preview/digits.png", PngBytes(Enlarged(digits, 6)));
        put("preview/title.png", PngBytes(titlePicture.convertToFormat(QImage::Format_RGB32)));
        put("preview/cursor.png", PngBytes(cursor.scaled(128, 128, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
        put("preview/board.png", PngBytes(Enlarged(BoardPreview(main, tiles, ships, systems, wormhole), 2)));
    }
    return written;
}

} // namespace qx::art
