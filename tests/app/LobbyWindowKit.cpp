#include "tests/app/LobbyWindowKit.h"

#include "app/GameAudio.h"

namespace qx::test {

std::unique_ptr<TfrmMain> OpenGameWindow(const QString& settingsFile) {
    return std::make_unique<TfrmMain>(BuildData(), settingsFile, std::make_unique<TSilentAudio>());
}

} // namespace qx::test
