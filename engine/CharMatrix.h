#pragma once

#include <string>
#include <vector>

namespace qx {

// A grid of one-byte characters, one per map cell, row-major. On the game map
// '-' is open space and 'N' a nebula.
class TCharMatrix {
public:
    int Columns() const { return Columns_; }
    int Rows() const { return Rows_; }
    // Resizing loses the content: the grid reads as byte 0 until filled.
    void SetColumns(int n);
    void SetRows(int n);
    void SetSize(int columns, int rows);

    // Byte 0 outside the grid or without a buffer.
    char GetChar(int x, int y) const {
        if (Cells_.empty() || x < 0 || y < 0 || x >= Columns_ || y >= Rows_) return '\0';
        return Cells_[static_cast<size_t>(y) * static_cast<size_t>(Columns_) + static_cast<size_t>(x)];
    }
    // Nothing outside the grid.
    void SetChar(int x, int y, char c);
    void Fill(char c);

    // Run-length text: for each run "count,char", runs continuing across rows.
    std::string SaveToText() const;
    // Fills from the first cell; a text for a larger grid stops at the last
    // cell. Throws std::invalid_argument on a malformed run.
    void LoadFromText(const std::string& text);

private:
    void Allocate();

    int Columns_ = 0;
    int Rows_ = 0;
    std::vector<char> Cells_;
};

} // namespace qx
