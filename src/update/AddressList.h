#pragma once
// The definition addresses Update Now lists when pressed with Shift held: informational only,
// formed from the product's web site; Live Update itself asks the definition server.

#include <string>

namespace qm::update {

// "http://www." + the web site's host ("http://" and everything from the first "/" dropped,
// "www." put in front unless it is there already).
std::string AddressListBase(const std::string& website);
// The base followed by each definition address, one per line.
std::string DefinitionAddressList(const std::string& website);

}  // namespace qm::update
