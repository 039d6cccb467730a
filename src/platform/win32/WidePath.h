#pragma once
// Paths between the core's ANSI text and the wide file API. The ANSI calls stop at MAX_PATH
// (260 characters), which a deep folder tree passes easily; the wide calls reach 32,767
// characters when the path is given in its "\\?\" form. The core keeps seeing byte strings in
// the ANSI code page: the conversion happens only here, at the edge of the Win32 layer.

#include <optional>
#include <string>

namespace qm::platform::win32 {

// ANSI text (the system code page) as UTF-16.
std::wstring WidenAnsi(const std::string& ansi);

// UTF-16 text in the ANSI code page. A character the code page cannot show becomes its
// default character ("?"), never a look-alike, and `exact` says whether the text came through
// unchanged: only then does it name the same file when it comes back.
struct AnsiText {
    std::string text;
    bool exact = true;
};
AnsiText NarrowToAnsi(const std::wstring& wide);

// The path as the wide file API should receive it. A short path goes as it is: the system
// normalises it as it did for the ANSI calls. A long absolute path ("C:\..." or
// "\\server\share\...") is made full first, exactly as the ANSI call would have done
// ("/" to "\", doubled separators, "." and ".." components, trailing dots and spaces), and
// then given the "\\?\" form, which has no length limit and no further normalisation. Other
// paths (relative, drive-relative "C:x", device names, forms already prefixed) are only
// widened, and behave as they did with the ANSI call.
std::wstring WideFilePath(const std::string& path);

// The path made full against the current folder by the system's own normaliser; nothing when
// that fails or the full path cannot be written in the ANSI code page exactly.
std::optional<std::string> FullAnsiPath(const std::string& path);

}  // namespace qm::platform::win32
