// libFuzzer target for the company-name reader. Each input is served as the bytes of one file
// in three ways: as it is, as the resource section of a small PE image, and as the version
// resource inside such an image. The file is handed out in read sizes taken from the input, so
// reads and skips end at odd places. Every reading must return; and the lookup through the
// image's headers and directory must give exactly what the walk of the same version tree in
// memory gives.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "scan/CompanyName.h"
#include "scan/VersionResource.h"
#include "support/ChunkedReader.h"
#include "support/PeImage.h"
#include "support/ReadOnlyFileSystem.h"

namespace {

using namespace qm;

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

// A file system holding one file, whatever the path.
class OneFile final : public test::ReadOnlyFileSystem {
  public:
    OneFile(std::string bytes, std::vector<std::size_t> sizes)
        : bytes_(std::move(bytes)), sizes_(std::move(sizes)) {}

    std::unique_ptr<platform::ByteReader> OpenForReading(const std::string&) override {
        return std::make_unique<test::ChunkedReader>(bytes_, sizes_);
    }

  private:
    std::string bytes_;
    std::vector<std::size_t> sizes_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 8192) return 0;
    const std::string x(reinterpret_cast<const char*>(data), size);
    std::vector<std::size_t> sizes;
    for (std::size_t i = 0; i < x.size() && i < 4; ++i) {
        sizes.push_back(1 + static_cast<unsigned char>(x[i]) * 64);
    }

    for (const std::string& file : {x, test::pe::Image(x)}) {
        OneFile files(file, sizes);
        Check(scan::ReadCompanyName(files, "f").size() <= file.size(), "company within the file");
    }

    const auto inMemory = scan::FindVersionString(x, "CompanyName");
    OneFile files(test::pe::Image(test::pe::VersionSection(x)), sizes);
    scan::FileCursor cursor(files, "f");
    Check(scan::ReadVersionString(cursor, "CompanyName") == inMemory,
          "the image lookup finds the tree's own answer");
    if (inMemory) {
        Check(scan::ReadCompanyName(files, "f") == *inMemory, "the company is the tree's answer");
    }
    return 0;
}
