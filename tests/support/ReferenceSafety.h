#pragma once
// The protected-location test written out as a plain walk over the list in order, entry by
// entry: the yardstick the hashed look-up must agree with.

#include <string>
#include <string_view>
#include <vector>

namespace qm::test {

bool ReferenceIsSafeLocation(const std::vector<std::string>& entries, std::string_view location);

}  // namespace qm::test
