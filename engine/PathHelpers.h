// Whole-file input and output and byte-wise path splitting. Both '\' and '/' are separators, and
// every scan is byte by byte: the 0x5C second byte of a double-byte character splits a path too.
//
//   std::string text;
//   if (kavex::ReadWholeFile(path, text)) { ... }       // text ends at the file's first NUL
//   kavex::DirectoryPart(p) + kavex::LastPathComponent(p) == p  // for every p with a separator
#pragma once

#include <string>
#include <string_view>

namespace kavex {

// The file's bytes up to its first NUL. False, with `text` untouched, when it cannot be opened or
// read (missing, a folder, in use by another holder).
[[nodiscard]] bool ReadWholeFile(const std::string& path, std::string& text);
// True when an entry of that name exists (file or folder); false for the empty path.
[[nodiscard]] bool FileExists(const std::string& path);
// The running executable's folder, without a final '\' (a final '/' stays).
[[nodiscard]] std::string ExecutableDirectory();
// Writes `text` as the file's whole content, clearing its read-only attribute first.
bool WriteWholeFile(const std::string& path, std::string_view text);
// Copies source over destination. Always true: callers do not look at the outcome.
bool CopyFileReplacing(const std::string& source, const std::string& destination);

// The bytes after the last period at index 1 or later; empty when there is none.
[[nodiscard]] std::string PathExtension(std::string_view path);
// The bytes after the last separator; empty without separator or when the path ends in one.
[[nodiscard]] std::string LastPathComponent(std::string_view path);
// The bytes up to and including the last separator; empty without separator.
[[nodiscard]] std::string DirectoryPart(std::string_view path);
// The separator test of the whole system.
[[nodiscard]] constexpr bool IsSeparator(char byte) { return byte == '\\' || byte == '/'; }

// ExecutableDirectory for a given executable path.
[[nodiscard]] std::string DirectoryOfExecutable(std::string_view executablePath);

}  // namespace kavex
