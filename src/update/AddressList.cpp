#include "update/AddressList.h"

#include "text/Text.h"

namespace qm::update {

std::string AddressListBase(const std::string& website) {
    std::string host = text::ReplaceAllNoCase(website, "http://", "");
    host = host.substr(0, host.find('/'));
    if (!text::ContainsNoCase(host, "www.")) host = "www." + host;
    return "http://" + host;
}

std::string DefinitionAddressList(const std::string& website) {
    const std::string base = AddressListBase(website);
    std::string list;
    for (const char* path :
         {"/definitions/version/R.HTM", "/definitions/version/F.HTM", "/definitions/version/E.HTM",
          "/definitions/version/C.HTM", "/definitions/data/BlockedCookies.dat",
          "/definitions/data/RegistryDefinition.dat", "/definitions/data/FileDefinition.dat",
          "/definitions/data/ExeDefinition.dat"}) {
        if (!list.empty()) list += "\r\n";
        list += base + path;
    }
    return list;
}

}  // namespace qm::update
