#pragma once

namespace qx::app {

// What the program calls itself.
inline constexpr const char* Title = "Quorvex";
inline constexpr const char* Caption = "Quorvex 4.0";
inline constexpr const char* VersionText = "4.0";
inline constexpr const char* SettingsFolder = "quorvex";
inline constexpr const char* SettingsFile = "quorvex.ini";

// The size the screens are laid out at, and the smallest the window gets.
inline constexpr int DesignWidth = 632;
inline constexpr int DesignHeight = 453;
inline constexpr int MinimumWidth = 640;
inline constexpr int MinimumHeight = 480;

} // namespace qx::app
