// What the player says it is: $version, getVersion() and System.capabilities.version.
#pragma once

namespace kestrel::player {

inline constexpr char kPlayerVersion[] = "WIN 9,0,115,0";
inline constexpr int kPlayerMajorVersion = 9;

}  // namespace kestrel::player
