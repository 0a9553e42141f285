#pragma once

#include <QString>

namespace qx {

class TfrmMain;

// Readies the setup and game screens for pictures: the bundled Duel,
// previewed on the setup screen, then played (seeded, one human and one
// Defender brain) for some impulses with a few ships under orders, one of
// them selected so its order lines show. The clock stops before the
// pictures are taken, so every run shows the same game. Returns the reason
// when the game could not be staged (the screens then show what they have).
QString StageGameForScreenshots(TfrmMain& window);
// The setup screen alone: the Duel previewed, before any game starts.
void StagePreviewForScreenshots(TfrmMain& window);

} // namespace qx
