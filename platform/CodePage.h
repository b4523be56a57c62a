// The process's ANSI code page: which bytes start and end double-byte characters, and the
// conversion between its bytes and UTF-8 (used only at the window's edge).
//
//   const kavex::platform::CodePage& cp = kavex::platform::ProcessCodePage();
//   if (cp.FormsPair(text[i], text[i + 1])) { ... }
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kavex::platform {

class CodePage {
public:
    // A code page without lead bytes, converted to Unicode with the given iconv charset.
    static CodePage WithoutLeadBytes(std::string iconvName = "UTF-8");
    // Code page 932 (Shift_JIS as Windows uses it).
    static CodePage ShiftJis();
    // "932", "shift_jis", "sjis", "cp932", "windows-31j", "ms932", "gbk", "cp936", "cp949", "uhc",
    // "big5", "cp950", "utf-8", ... in any letter case; nothing for a name it does not know.
    static std::optional<CodePage> FromName(std::string_view name);
    // The codeset of LC_ALL, else LC_CTYPE, else LANG; without lead bytes when none names one.
    static CodePage FromLocaleEnvironment();

    // 932, 936, 949, 950 for the double-byte code pages, 0 for one without lead bytes.
    [[nodiscard]] int Number() const { return m_nNumber; }
    [[nodiscard]] const std::string& IconvName() const { return m_sIconvName; }
    [[nodiscard]] bool HasLeadBytes() const { return m_nNumber != 0; }
    [[nodiscard]] bool IsLeadByte(char byte) const { return m_leadBytes[Index(byte)]; }
    [[nodiscard]] bool IsTrailByte(char byte) const { return m_trailBytes[Index(byte)]; }
    // True when the two bytes form one double-byte character.
    [[nodiscard]] bool FormsPair(char first, char second) const {
        return IsLeadByte(first) && IsTrailByte(second);
    }

private:
    static std::size_t Index(char byte) { return static_cast<unsigned char>(byte); }

    int m_nNumber = 0;
    std::string m_sIconvName = "UTF-8";
    std::array<bool, 256> m_leadBytes{};
    std::array<bool, 256> m_trailBytes{};
};

// The code page of this process: taken from the locale on first use unless set before.
const CodePage& ProcessCodePage();
void SetProcessCodePage(const CodePage& codePage);

// Bytes of the code page to UTF-8; a byte sequence that does not convert becomes U+FFFD.
std::string ToUtf8(std::string_view bytes, const CodePage& codePage);
// UTF-8 to bytes of the code page; a character the code page lacks becomes '?'.
std::string FromUtf8(std::string_view utf8, const CodePage& codePage);
// Nothing when some character has no bytes in the code page.
std::optional<std::string> FromUtf8Exact(std::string_view utf8, const CodePage& codePage);

}  // namespace kavex::platform
