#pragma once

namespace qx {

// The text of the default brain "Defender", built in from
// data/brains/Defender.qxbrain so the file and the built-in never differ.
const char* DefaultBrainSource();

} // namespace qx
