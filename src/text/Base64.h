#pragma once
// Base64 (RFC 4648, with padding), the form keys and signatures travel in as text.

#include <optional>
#include <string>
#include <string_view>

namespace qm::text {

std::string Base64Encode(std::string_view bytes);
// The bytes, or nothing when the text is not strict Base64: a character outside the alphabet,
// a length that is not a multiple of four, or padding anywhere but at the end.
std::optional<std::string> Base64Decode(std::string_view text);

}  // namespace qm::text
