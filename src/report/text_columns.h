#pragma once
// How wide UTF-8 text shows in a monospaced viewer or terminal, and names made safe to
// show there.

#include <string>

// The display columns `text` takes: one per character, two for an East Asian wide or
// fullwidth character, none for a combining mark or a zero-width character. A byte that
// is not part of valid UTF-8 takes one column, as a viewer shows it as one replacement.
size_t DisplayWidth(const std::string& text);

// `text` with every control character (C0, DEL and C1) shown as '?', as `ls -q` does: a
// newline would split a report line, an escape sequence would drive the terminal.
std::string PrintableText(const std::string& text);
