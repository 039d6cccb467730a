#pragma once
// Line-by-line access to the program's text files (ANSI, CR LF).

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace qm::text {

// Where a line ends.
enum class LineEnds {
    // CR LF, a lone CR or a lone LF: plain files edited on any system still read as lines.
    Any,
    // CR LF only. The scramble turns codes 201 and 204 into LF and CR, so inside a scrambled
    // line a lone LF or CR is text; only the CR LF the writer put after the line ends it.
    CrLfOnly,
};

// Reads a file line by line through a small buffer, so memory stays bounded by the longest
// line. A line longer than kMaxLineLength is cut there and the rest of it is passed over, so
// a runaway file cannot exhaust memory.
class LineReader {
  public:
    static constexpr std::size_t kMaxLineLength = 16u << 20;

    explicit LineReader(std::unique_ptr<platform::ByteReader> source,
                        LineEnds ends = LineEnds::Any);
    // Opens `path`; nothing when the file cannot be opened.
    static std::optional<LineReader> Open(platform::FileSystem& files, const std::string& path,
                                          LineEnds ends = LineEnds::Any);

    // The next line without its line end; false at the end of the file.
    bool Next(std::string& line);

  private:
    bool Fill();
    bool NextCrLfOnly(std::string& line);

    std::unique_ptr<platform::ByteReader> source_;
    LineEnds ends_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool eof_ = false;
    bool skipLf_ = false;  // the previous line ended with CR: a following LF belongs to it
};

// Every line of the file; empty when it cannot be read.
std::vector<std::string> ReadAllLines(platform::FileSystem& files, const std::string& path,
                                      LineEnds ends = LineEnds::Any);

// The lines joined with CR LF after each, written in one piece (never half-written).
bool WriteAllLines(platform::FileSystem& files, const std::string& path,
                   const std::vector<std::string>& lines);

}  // namespace qm::text
