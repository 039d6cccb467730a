#pragma once
// A value in a request's query, percent-encoded by the URL rules: letters, digits and "-._~"
// stay, a blank is "%20" and every other byte "%XX". Unencoded, a "#" would cut the rest off
// (it starts a fragment, which is never sent) and an "&" would start a new parameter.

#include <string>
#include <string_view>

namespace qm::update {

std::string QueryValue(std::string_view value);

}  // namespace qm::update
