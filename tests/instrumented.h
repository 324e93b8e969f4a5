// Sanitizer builds run the code several times slower: timing bounds are multiplied by
// kTimeScale there, so that they check the Release tree and only catch hangs in the others.
#pragma once

#if defined(NUMERION_SANITIZE) || defined(NUMERION_TSAN)
inline constexpr int kTimeScale = 10;
#else
inline constexpr int kTimeScale = 1;
#endif
