#include "scan/FileCursor.h"

namespace qm::scan {

std::size_t FileCursor::ReadAt(std::uint64_t offset, char* buffer, std::size_t size) {
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
