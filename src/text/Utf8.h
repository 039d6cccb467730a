#pragma once
// Text made from Unicode code points: escapes in files the browsers write, the code page's
// characters turned into UTF-8.

#include <string>

namespace qm::text {

// Appends the code point as UTF-8, in one to four bytes. The caller passes a code point
// (up to U+10FFFF, no surrogate half).
void AppendUtf8(std::string& out, char32_t cp);

}  // namespace qm::text
