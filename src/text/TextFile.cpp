#include "text/TextFile.h"

#include <algorithm>

namespace qm::text {

namespace {
constexpr std::size_t kBufferSize = 64 * 1024;
}

LineReader::LineReader(std::unique_ptr<platform::ByteReader> source, LineEnds ends)
    : source_(std::move(source)), ends_(ends), buffer_(kBufferSize) {}

std::optional<LineReader> LineReader::Open(platform::FileSystem& files, const std::string& path,
                                           LineEnds ends) {
    auto source = files.OpenForReading(path);
    if (!source) return std::nullopt;
    return LineReader(std::move(source), ends);
}

bool LineReader::Fill() {
    if (eof_) return false;
    end_ = source_->Read(buffer_.data(), buffer_.size());
    pos_ = 0;
    if (end_ == 0) eof_ = true;
    return end_ > 0;
}

bool LineReader::NextCrLfOnly(std::string& line) {
    line.clear();
    bool sawAnything = false;
    bool pendingCr = false;  // a CR at the end of the text so far: a line end if LF follows
    auto append = [&](const char* p, std::size_t n) {
        const std::size_t room = kMaxLineLength - std::min(kMaxLineLength, line.size());
        line.append(p, std::min(n, room));
    };
    for (;;) {
        if (pos_ == end_ && !Fill()) {
            if (pendingCr) append("\r", 1);
            return sawAnything;
        }
        sawAnything = true;
        if (pendingCr) {
            pendingCr = false;
            if (buffer_[pos_] == '\n') {
                ++pos_;
                return true;
            }
            append("\r", 1);
        }
        const char* begin = buffer_.data() + pos_;
        const char* stop = buffer_.data() + end_;
        const char* cr = std::find(begin, stop, '\r');
        if (cr == stop) {
            append(begin, static_cast<std::size_t>(stop - begin));
            pos_ = end_;
            continue;
        }
        append(begin, static_cast<std::size_t>(cr - begin));
        pos_ += static_cast<std::size_t>(cr - begin) + 1;
        pendingCr = true;
    }
}

bool LineReader::Next(std::string& line) {
    if (ends_ == LineEnds::CrLfOnly) return NextCrLfOnly(line);
    line.clear();
    bool sawAnything = false;
    for (;;) {
        if (pos_ == end_ && !Fill()) return sawAnything;
        if (skipLf_) {
            skipLf_ = false;
            if (buffer_[pos_] == '\n') {
                ++pos_;
                continue;
            }
        }
        const char* begin = buffer_.data() + pos_;
        const char* stop = buffer_.data() + end_;
        const char* hit = std::find_if(begin, stop, [](char c) { return c == '\r' || c == '\n'; });
        const std::size_t take = static_cast<std::size_t>(hit - begin);
        const std::size_t room = kMaxLineLength - std::min(kMaxLineLength, line.size());
        line.append(begin, std::min(take, room));
        sawAnything = true;
        pos_ += take;
        if (hit != stop) {
            skipLf_ = (*hit == '\r');
            ++pos_;
            return true;
        }
    }
}

std::vector<std::string> ReadAllLines(platform::FileSystem& files, const std::string& path,
                                      LineEnds ends) {
    std::vector<std::string> lines;
    auto reader = LineReader::Open(files, path, ends);
    if (!reader) return lines;
    std::string line;
    while (reader->Next(line))
        lines.push_back(line);
    return lines;
}

bool WriteAllLines(platform::FileSystem& files, const std::string& path,
                   const std::vector<std::string>& lines) {
    std::string bytes;
    std::size_t total = 0;
    for (const auto& l : lines)
        total += l.size() + 2;
    bytes.reserve(total);
    for (const auto& l : lines) {
        bytes += l;
        bytes += "\r\n";
    }
    return files.WriteWholeFile(path, bytes);
}

}  // namespace qm::text
