// Bytes to the console: the log's CR LF line breaks as line feeds, and writes that go through
// interruptions.
//
//   WriteAll(STDOUT_FILENO, ConsoleLines(log));
#pragma once

#include <string>
#include <string_view>

namespace kavex::cli {

// Every CR LF becomes a line feed and the result ends with exactly one line feed added; an empty
// text gives nothing. Other bytes, a lone CR included, stay as they are.
[[nodiscard]] std::string ConsoleLines(std::string_view text);

// Writes all bytes to a file descriptor; false when it refused them.
[[nodiscard]] bool WriteAll(int fd, std::string_view bytes);

}  // namespace kavex::cli
