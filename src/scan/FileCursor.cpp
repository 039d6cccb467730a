#include "scan/FileCursor.h"

#include <algorithm>

namespace qm::scan {

std::size_t FileCursor::ReadAt(std::uint64_t offset, char* buffer, std::size_t size) {
    if (!headRead_) {
        headRead_ = true;
        head_.resize(kHead);
        head_.resize(ReadFromReader(0, head_.data(), head_.size()));
        whole_ = head_.size() < kHead;
    }
    if (offset + size <= head_.size() || (whole_ && offset <= head_.size())) {
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(size, head_.size() - offset));
        std::copy_n(head_.data() + offset, n, buffer);
        return n;
    }
    if (whole_) return 0;
    return ReadFromReader(offset, buffer, size);
}

std::size_t FileCursor::ReadFromReader(std::uint64_t offset, char* buffer, std::size_t size) {
    if (!reader_ || offset < position_) {
        reader_ = files_.OpenForReading(path_);
        position_ = 0;
        if (!reader_) return 0;
    }
    if (offset > position_) {
        if (!reader_->Skip(offset - position_)) {
            reader_.reset();  // stands somewhere before `offset`: open afresh next time
            return 0;
        }
        position_ = offset;
    }
    std::size_t done = 0;
    while (done < size) {
        const std::size_t got = reader_->Read(buffer + done, size - done);
        if (got == 0) break;
        done += got;
    }
    position_ += done;
    return done;
}

std::string FileCursor::ReadAt(std::uint64_t offset, std::size_t size) {
    std::string out(size, '\0');
    out.resize(ReadAt(offset, out.data(), out.size()));
    return out;
}

}  // namespace qm::scan
