// Console presentation: coloured pieces of text, the framed panel and the
// error line made from the latest system failure. Everything goes to standard
// output through printf, one call per piece.
#pragma once

// Console attribute words, all on a black background.
inline constexpr int COLOR_PANEL = 4;    // dark red: the frame of the help panel
inline constexpr int COLOR_ERROR = 12;   // bright red: "Error: " and failure heads
inline constexpr int COLOR_HEADER = 14;  // yellow: the "Pasting..." header

// The latest system message text; null until a FormatLastError succeeds.
extern char* lastErrorText;

// Writes `text` in `attribute`, then restores the attribute that was in force.
void PrintColored(const char* text, int attribute);

// The framed panel: 79 columns, frame in `attribute`, text in the colour in
// force. A text longer than 74 bytes is written whole and pushes the right
// edge out.
void DrawBoxTop(int attribute);
void DrawBoxLine(const char* text, int attribute);
void DrawBoxBottom(int attribute);

// Points lastErrorText at the system's text for the last error (releasing the
// text it held). When no text can be made it says so and keeps the old one.
void FormatLastError();

// The error line after a failed copy or move: "Error: " in COLOR_ERROR, the
// system text (which ends in a line break), then "\n".
void WriteErrorLine();
// The error line after a failed folder creation: the same without the final
// "\n"; the caller writes the continuation line.
void WriteErrorLineDirectoryForm();
