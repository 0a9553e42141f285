#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

// Cuts a byte stream into lines at each line feed (which is dropped). The
// bytes of an unfinished line are capped: a line longer than the cap is
// thrown away up to its line feed and counted as overlong, so a peer that
// never ends its line cannot fill the memory.
class TLineBuffer {
public:
    explicit TLineBuffer(size_t maxLine = 16u << 20) : MaxLine_(maxLine) {}

    // Appends bytes; every line they complete is handed to OnLine in order.
    // OnLine returns false to stop (the rest of the bytes is dropped, as when
    // the connection was closed by a line). Returns the number of overlong
    // lines dropped in these bytes.
    template <class OnLine>
    size_t Append(std::string_view bytes, OnLine&& onLine) {
        size_t dropped = 0;
        while (!bytes.empty()) {
            const size_t end = bytes.find('\n');
            const std::string_view part = bytes.substr(0, end);
            if (!Skipping_) {
                if (Buffer_.size() + part.size() > MaxLine_) {
                    Skipping_ = true;
                    Buffer_.clear();
                    Buffer_.shrink_to_fit();
                    ++dropped;
                } else {
                    Buffer_.append(part);
                }
            }
            if (end == std::string_view::npos) break;
            bytes.remove_prefix(end + 1);
            if (Skipping_) {
                Skipping_ = false;
                continue;
            }
            std::string line;
            line.swap(Buffer_);
            if (!onLine(std::move(line))) return dropped;
        }
        return dropped;
    }

    void Clear() {
        Buffer_.clear();
        Skipping_ = false;
    }
    size_t Pending() const { return Buffer_.size(); }
    size_t MaxLine() const { return MaxLine_; }
    void SetMaxLine(size_t max) { MaxLine_ = max; }

private:
    size_t MaxLine_;
    std::string Buffer_;
    bool Skipping_ = false;
};

} // namespace qx
