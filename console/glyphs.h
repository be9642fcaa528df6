// Frame glyphs of the help panel and lead glyphs of the folder walk: code page
// 437 bytes on the Windows console, UTF-8 box characters elsewhere.
#pragma once

#ifdef _WIN32
inline constexpr const char* kGlyphTopLeft = "\xC9";
inline constexpr const char* kGlyphHorizontal = "\xCD";
inline constexpr const char* kGlyphTopRight = "\xBB";
inline constexpr const char* kGlyphVertical = "\xBA";
inline constexpr const char* kGlyphBottomLeft = "\xC8";
inline constexpr const char* kGlyphBottomRight = "\xBC";
#else
inline constexpr const char* kGlyphTopLeft = "\u2554";      // ╔
inline constexpr const char* kGlyphHorizontal = "\u2550";   // ═
inline constexpr const char* kGlyphTopRight = "\u2557";     // ╗
inline constexpr const char* kGlyphVertical = "\u2551";     // ║
inline constexpr const char* kGlyphBottomLeft = "\u255A";   // ╚
inline constexpr const char* kGlyphBottomRight = "\u255D";  // ╝
#endif
