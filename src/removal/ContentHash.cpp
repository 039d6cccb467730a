#include "removal/ContentHash.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "text/Text.h"

namespace qm::removal {

namespace {

constexpr std::array<std::uint32_t, 64> kRound = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr std::array<std::uint32_t, 8> kInitial = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                                   0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

constexpr std::uint32_t RotateRight(std::uint32_t x, int n) {
    return (x >> n) | (x << (32 - n));
}

// How much of a file is read at a time.
constexpr std::size_t kChunk = 64 * 1024;

}  // namespace

Sha256::Sha256() : state_(kInitial) {}

void Sha256::Block(const unsigned char* block) {
    std::array<std::uint32_t, 64> w{};
    for (std::size_t i = 0; i < 16; ++i) {
        w[i] = static_cast<std::uint32_t>(block[4 * i]) << 24 |
               static_cast<std::uint32_t>(block[4 * i + 1]) << 16 |
               static_cast<std::uint32_t>(block[4 * i + 2]) << 8 |
               static_cast<std::uint32_t>(block[4 * i + 3]);
    }
    for (std::size_t i = 16; i < 64; ++i) {
        const std::uint32_t s0 =
            RotateRight(w[i - 15], 7) ^ RotateRight(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const std::uint32_t s1 =
            RotateRight(w[i - 2], 17) ^ RotateRight(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    std::uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
    std::uint32_t e = state_[4], f = state_[5], g = state_[6], h = state_[7];
    for (std::size_t i = 0; i < 64; ++i) {
        const std::uint32_t s1 = RotateRight(e, 6) ^ RotateRight(e, 11) ^ RotateRight(e, 25);
        const std::uint32_t choice = (e & f) ^ (~e & g);
        const std::uint32_t t1 = h + s1 + choice + kRound[i] + w[i];
        const std::uint32_t s0 = RotateRight(a, 2) ^ RotateRight(a, 13) ^ RotateRight(a, 22);
        const std::uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
        const std::uint32_t t2 = s0 + majority;
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
    state_[4] += e;
    state_[5] += f;
    state_[6] += g;
    state_[7] += h;
}

void Sha256::Update(const char* data, std::size_t size) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    length_ += size;
    if (buffered_ > 0) {
        const std::size_t take = std::min(size, buffer_.size() - buffered_);
        std::memcpy(buffer_.data() + buffered_, bytes, take);
        buffered_ += take;
        bytes += take;
        size -= take;
        if (buffered_ < buffer_.size()) return;
        Block(buffer_.data());
        buffered_ = 0;
    }
    for (; size >= buffer_.size(); bytes += buffer_.size(), size -= buffer_.size())
        Block(bytes);
    if (size > 0) std::memcpy(buffer_.data(), bytes, size);
    buffered_ = size;
}

std::string Sha256::HexDigest() {
    const std::uint64_t bits = length_ * 8;
    const char one = static_cast<char>(0x80);
    Update(&one, 1);
    const char zero = 0;
    while (buffered_ != 56)
        Update(&zero, 1);
    char lengthBytes[8];
    for (int i = 0; i < 8; ++i)
        lengthBytes[i] = static_cast<char>((bits >> (56 - 8 * i)) & 0xFF);
    Update(lengthBytes, 8);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(64);
    for (std::uint32_t word : state_) {
        for (int shift = 28; shift >= 0; shift -= 4)
            out += kHex[(word >> shift) & 0xF];
    }
    *this = Sha256();
    return out;
}

ContentDigest DigestOfBytes(std::string_view bytes) {
    Sha256 hash;
    hash.Update(bytes);
    return {bytes.size(), hash.HexDigest()};
}

std::optional<ContentDigest> DigestOfFile(platform::FileSystem& files, const std::string& path) {
    auto reader = files.OpenForReading(path);
    if (!reader) return std::nullopt;
    std::vector<char> chunk(kChunk);
    Sha256 hash;
    std::uint64_t size = 0;
    for (;;) {
        const std::size_t got = reader->Read(chunk.data(), chunk.size());
        if (got == 0) break;
        hash.Update(chunk.data(), got);
        size += got;
    }
    return ContentDigest{size, hash.HexDigest()};
}

namespace {

class HashingSink final : public platform::ByteSink {
  public:
    void Take(const char* data, std::size_t size) override {
        hash_.Update(data, size);
        size_ += size;
    }
    ContentDigest Digest() { return {size_, hash_.HexDigest()}; }

  private:
    Sha256 hash_;
    std::uint64_t size_ = 0;
};

}  // namespace

std::optional<CopyDigests> CopyWithDigests(platform::FileSystem& files, const std::string& from,
                                           const std::string& to) {
    HashingSink original, copy;
    if (!files.CopyFileReadingBoth(from, to, original, copy)) return std::nullopt;
    return CopyDigests{original.Digest(), copy.Digest()};
}

bool WalkTree(platform::FileSystem& files, const std::string& root,
              const std::function<bool(const TreeEntry&)>& visit) {
    // Depth first with an explicit stack: a tree may be far deeper than the call stack allows.
    struct Level {
        std::string prefix;  // relative path of the folder, with its trailing "\" ("" for the root)
        std::vector<platform::DirEntry> entries;
        std::size_t next = 0;
    };
    const auto listed = [&](const std::string& prefix) {
        Level level{prefix, files.ListFolder(prefix.empty() ? root : root + "\\" + prefix), 0};
        if (!level.prefix.empty()) level.prefix += '\\';
        std::sort(level.entries.begin(), level.entries.end(),
                  [](const platform::DirEntry& a, const platform::DirEntry& b) {
                      const std::string la = text::Lower(a.name), lb = text::Lower(b.name);
                      return la != lb ? la < lb : a.name < b.name;
                  });
        return level;
    };
    std::vector<Level> stack;
    stack.push_back(listed(""));
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next == level.entries.size()) {
            stack.pop_back();
            continue;
        }
        const platform::DirEntry entry = level.entries[level.next++];
        const bool folder = (entry.attributes & platform::attr::kDirectory) != 0;
        // A folder entry that leads elsewhere (a junction or symbolic link): its target is not
        // part of the tree, and following it could loop.
        if (folder && (entry.attributes & platform::attr::kReparsePoint)) continue;
        TreeEntry visited{level.prefix + entry.name, folder};
        if (!visit(visited)) return false;
        if (folder) stack.push_back(listed(visited.relative));  // `level` is not used again
    }
    return true;
}

void TreeDigest::AddFolder(const std::string& relative) {
    hash_.Update("D\t" + relative + "\n");
}

void TreeDigest::AddFile(const std::string& relative, const ContentDigest& file) {
    hash_.Update("F\t" + relative + "\t" + std::to_string(file.size) + "\t" + file.sha256 + "\n");
    size_ += file.size;
}

ContentDigest TreeDigest::Finish() {
    ContentDigest out{size_, hash_.HexDigest()};
    size_ = 0;
    return out;
}

std::optional<ContentDigest> DigestOfTree(platform::FileSystem& files, const std::string& folder) {
    const auto attributes = files.Attributes(folder);
    if (!attributes || !(*attributes & platform::attr::kDirectory)) return std::nullopt;
    TreeDigest tree;
    const bool whole = WalkTree(files, folder, [&](const TreeEntry& entry) {
        if (entry.folder) {
            tree.AddFolder(entry.relative);
            return true;
        }
        const auto file = DigestOfFile(files, folder + "\\" + entry.relative);
        if (!file) return false;
        tree.AddFile(entry.relative, *file);
        return true;
    });
    if (!whole) return std::nullopt;
    return tree.Finish();
}

}  // namespace qm::removal
