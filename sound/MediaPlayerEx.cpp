#include "sound/MediaPlayerEx.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace qx {

TMediaPlayerEx::TMediaPlayerEx(TWaveMixer* mixer, TRandom& random, std::string soundFont)
    : random_(random), renderer_(std::move(soundFont)), stream_(mixer) {}

TMediaPlayerEx::~TMediaPlayerEx() { Close(); }

void TMediaPlayerEx::SetDirectory(std::string directory) {
    while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
    directory_ = std::move(directory);
}

bool TMediaPlayerEx::IsMidiName(const std::string& name) {
    if (name.size() < 4) return false;
    const std::string ending = name.substr(name.size() - 4);
    return ending[0] == '.' && std::tolower(static_cast<unsigned char>(ending[1])) == 'm' &&
           std::tolower(static_cast<unsigned char>(ending[2])) == 'i' &&
           std::tolower(static_cast<unsigned char>(ending[3])) == 'd';
}

void TMediaPlayerEx::Stop() { stream_.Stop(); }

void TMediaPlayerEx::Close() {
    stream_.Stop(); // the feeder has ended: no one renders any more
    renderer_.Close();
}

bool TMediaPlayerEx::PlayFile(const std::string& path) {
    Close();
    fileName_ = path;
    lastError_.clear();
    if (!stream_.CanPlay()) {
        lastError_ = "no sound device";
        return false;
    }
    if (!renderer_.Open(path)) {
        lastError_ = renderer_.Error();
        return false;
    }
    const bool started = stream_.Start(
        [this](int16_t* out, size_t frames) { return renderer_.Render(out, frames); }, TMidiRenderer::kSampleRate);
    if (!started) {
        renderer_.Close();
        lastError_ = "no sound device";
    }
    return started;
}

void TMediaPlayerEx::Scan() {
    // An empty folder name would mean the root or the working folder: never.
    if (directory_.empty()) return;
    std::error_code error;
    std::filesystem::directory_iterator it(directory_, error), end;
    std::vector<std::string> names;
    for (; !error && it != end && names.size() < kMaxPieces; it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::error_code statusError;
        // Regular files only (following links): a FIFO would block the open.
        if (IsMidiName(name) && it->is_regular_file(statusError) && !statusError) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    const std::string prefix = directory_ == "/" ? directory_ : directory_ + "/";
    for (const std::string& name : names) playList_.push_back(prefix + name);
}

void TMediaPlayerEx::PlayRandom() {
    started_ = true;
    if (playList_.empty()) Scan();
    if (playList_.empty()) return;
    const auto index = static_cast<size_t>(random_.Random(static_cast<int32_t>(playList_.size())));
    const std::string path = playList_[index];
    playList_.erase(playList_.begin() + static_cast<std::ptrdiff_t>(index));
    PlayFile(path); // a piece that cannot play is skipped: it has left the list
}

void TMediaPlayerEx::PlayNext() {
    if (IsPlaying() && started_) return;
    PlayRandom();
}

} // namespace qx
