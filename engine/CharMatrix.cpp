#include "engine/CharMatrix.h"

#include <stdexcept>

#include "base/FieldCodec.h"

namespace qx {

void TCharMatrix::SetColumns(int n) {
    Columns_ = n;
    Allocate();
}

void TCharMatrix::SetRows(int n) {
    Rows_ = n;
    Allocate();
}

void TCharMatrix::SetSize(int columns, int rows) {
    Columns_ = columns;
    Rows_ = rows;
    Allocate();
}

void TCharMatrix::Allocate() {
    Cells_.clear();
    if (Columns_ >= 1 && Rows_ >= 1)
        Cells_.assign(static_cast<size_t>(Columns_) * static_cast<size_t>(Rows_), '\0');
}

void TCharMatrix::SetChar(int x, int y, char c) {
    if (Cells_.empty() || x < 0 || y < 0 || x >= Columns_ || y >= Rows_) return;
    Cells_[static_cast<size_t>(y) * static_cast<size_t>(Columns_) + static_cast<size_t>(x)] = c;
}

void TCharMatrix::Fill(char c) { std::fill(Cells_.begin(), Cells_.end(), c); }

std::string TCharMatrix::SaveToText() const {
    std::string text;
    char current = Cells_.empty() ? '\0' : Cells_.front();
    long count = 0;
    for (char c : Cells_) {
        if (c != current) {
            text += std::to_string(count) + ',' + current;
            current = c;
            count = 0;
        }
        ++count;
    }
    text += std::to_string(count) + ',' + current;
    return text;
}

void TCharMatrix::LoadFromText(const std::string& text) {
    size_t cell = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t comma = text.find(',', pos);
        if (comma == std::string::npos || comma + 1 >= text.size())
            throw std::invalid_argument("Map text is malformed at position " + std::to_string(pos + 1));
        int32_t count = 0;
        if (!TextToInt(std::string_view(text).substr(pos, comma - pos), count) || count < 0)
            throw std::invalid_argument("Map text has a bad run length at position " + std::to_string(pos + 1));
        const char c = text[comma + 1];
        for (int32_t i = 0; i < count && cell < Cells_.size(); ++i) Cells_[cell++] = c;
        pos = comma + 2;
    }
}

} // namespace qx
