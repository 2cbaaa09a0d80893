// Class-name lists of foreign controls the skinning adopts: their captions and
// defaults, one per kind. Typed constants; nothing is made at start-up.
#pragma once

constexpr int ThirdPartyCount = 17;
// Each default is a single blank.
extern const char* const ThirdPartyDefaults[ThirdPartyCount];
extern const char* const ThirdPartyCaptions[ThirdPartyCount];
