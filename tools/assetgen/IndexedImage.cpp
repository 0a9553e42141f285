#include "tools/assetgen/IndexedImage.h"

#include <limits>
#include <stdexcept>

namespace qx::art {

TIndexMapper::TIndexMapper(const TArtPalette& palette, std::vector<int> candidates)
    : palette_(palette), candidates_(std::move(candidates))
{
    if (candidates_.empty())
        throw std::invalid_argument("an index mapper needs at least one candidate entry");
}

std::vector<int> TIndexMapper::Span(int first, int last)
{
    std::vector<int> indices;
    for (int i = first; i <= last; ++i)
        indices.push_back(i);
    return indices;
}

int TIndexMapper::Nearest(QRgb colour) const
{
    int best = candidates_.front();
    double bestDistance = std::numeric_limits<double>::max();
    for (int index : candidates_) {
        const double d = ColourDistance(colour, palette_[index]);
        if (d < bestDistance) {
            bestDistance = d;
            best = index;
        }
    }
    return best;
}

QImage NewIndexed(int width, int height, const TArtPalette& palette)
{
    QImage image(width, height, QImage::Format_Indexed8);
    image.setColorTable(palette.ColourTable());
    image.fill(0);
    return image;
}

void PutArgb(QImage& target, int x, int y, const QImage& argb, const TIndexMapper& mapper, int alphaCut)
{
    const QImage source = argb.convertToFormat(QImage::Format_ARGB32);
    for (int row = 0; row < source.height(); ++row) {
        const int ty = y + row;
        if (ty < 0 || ty >= target.height())
            continue;
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(row));
        uchar* out = target.scanLine(ty);
        for (int col = 0; col < source.width(); ++col) {
            const int tx = x + col;
            if (tx < 0 || tx >= target.width() || qAlpha(in[col]) < alphaCut)
                continue;
            out[tx] = static_cast<uchar>(mapper.Nearest(in[col]));
        }
    }
}

QImage Enlarged(const QImage& picture, int factor)
{
    return picture.convertToFormat(QImage::Format_RGB32)
        .scaled(picture.width() * factor, picture.height() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

} // namespace qx::art
