#include "platform/CodePage.h"

#include <iconv.h>

#include <cerrno>
#include <cstdlib>
#include <initializer_list>
#include <utility>

namespace kavex::platform {
namespace {

struct Range {
    unsigned first;
    unsigned last;
};

std::array<bool, 256> ByteSet(std::initializer_list<Range> ranges) {
    std::array<bool, 256> set{};
    for (const Range& range : ranges) {
        for (unsigned b = range.first; b <= range.last; ++b) set[b] = true;
    }
    return set;
}

std::string Normalized(std::string_view name) {
    std::string result;
    for (char c : name) {
        if (c == '-' || c == '_') continue;
        result += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return result;
}

std::string_view CodesetOf(std::string_view locale) {
    const auto dot = locale.find('.');
    if (dot == std::string_view::npos) return {};
    std::string_view codeset = locale.substr(dot + 1);
    return codeset.substr(0, codeset.find('@'));
}

class Converter {
public:
    Converter(const std::string& to, const std::string& from)
        : m_handle(iconv_open(to.c_str(), from.c_str())), m_bSourceUtf8(from == "UTF-8") {}
    ~Converter() {
        if (Valid()) iconv_close(m_handle);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    [[nodiscard]] bool Valid() const { return m_handle != reinterpret_cast<iconv_t>(-1); }

    // Converts all of input; each sequence that does not convert is skipped by `skip` bytes and
    // replaced by `substitute`, or the conversion fails when substitute is empty.
    std::optional<std::string> Convert(std::string_view input, std::string_view substitute) {
        std::string output;
        if (!Valid()) return std::nullopt;
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char buffer[4096];
        while (inLeft > 0) {
            char* out = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t rc = iconv(m_handle, &in, &inLeft, &out, &outLeft);
            output.append(buffer, static_cast<std::size_t>(out - buffer));
            if (rc != static_cast<std::size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            if (substitute.empty()) return std::nullopt;
            output += substitute;
            // Skip the offending byte (a whole character of UTF-8 input) and go on.
            do {
                ++in;
                --inLeft;
            } while (m_bSourceUtf8 && inLeft > 0 &&
                     (static_cast<unsigned char>(*in) & 0xC0) == 0x80);
            iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        }
        return output;
    }

private:
    iconv_t m_handle;
    bool m_bSourceUtf8;
};

std::optional<CodePage>& ProcessCodePageSlot() {
    static std::optional<CodePage> slot;
    return slot;
}

}  // namespace

CodePage CodePage::WithoutLeadBytes(std::string iconvName) {
    CodePage cp;
    cp.m_sIconvName = std::move(iconvName);
    return cp;
}

CodePage CodePage::ShiftJis() { return *FromName("932"); }

std::optional<CodePage> CodePage::FromName(std::string_view name) {
    const std::string key = Normalized(name);
    CodePage cp;
    if (key == "932" || key == "shiftjis" || key == "sjis" || key == "cp932" ||
        key == "windows31j" || key == "ms932") {
        cp.m_nNumber = 932;
        cp.m_sIconvName = "CP932";
        cp.m_leadBytes = ByteSet({{0x81, 0x9F}, {0xE0, 0xFC}});
        cp.m_trailBytes = ByteSet({{0x40, 0x7E}, {0x80, 0xFC}});
    } else if (key == "936" || key == "gbk" || key == "cp936") {
        cp.m_nNumber = 936;
        cp.m_sIconvName = "CP936";
        cp.m_leadBytes = ByteSet({{0x81, 0xFE}});
        cp.m_trailBytes = ByteSet({{0x40, 0x7E}, {0x80, 0xFE}});
    } else if (key == "949" || key == "cp949" || key == "uhc") {
        cp.m_nNumber = 949;
        cp.m_sIconvName = "CP949";
        cp.m_leadBytes = ByteSet({{0x81, 0xFE}});
        cp.m_trailBytes = ByteSet({{0x41, 0x5A}, {0x61, 0x7A}, {0x81, 0xFE}});
    } else if (key == "950" || key == "big5" || key == "cp950") {
        cp.m_nNumber = 950;
        cp.m_sIconvName = "CP950";
        cp.m_leadBytes = ByteSet({{0x81, 0xFE}});
        cp.m_trailBytes = ByteSet({{0x40, 0x7E}, {0xA1, 0xFE}});
    } else if (key == "utf8" || key == "65001") {
        cp.m_sIconvName = "UTF-8";
    } else {
        return std::nullopt;
    }
    return cp;
}

CodePage CodePage::FromLocaleEnvironment() {
    std::string_view locale;
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            locale = value;
            break;
        }
    }
    const std::string_view codeset = CodesetOf(locale);
    if (auto known = FromName(codeset)) return *known;
    // Another single-byte codeset: no lead bytes, shown through its own charset when iconv knows
    // it.
    if (!codeset.empty() && Converter("UTF-8", std::string(codeset)).Valid()) {
        return WithoutLeadBytes(std::string(codeset));
    }
    return WithoutLeadBytes();
}

const CodePage& ProcessCodePage() {
    auto& slot = ProcessCodePageSlot();
    if (!slot) slot = CodePage::FromLocaleEnvironment();
    return *slot;
}

void SetProcessCodePage(const CodePage& codePage) { ProcessCodePageSlot() = codePage; }

std::string ToUtf8(std::string_view bytes, const CodePage& codePage) {
    if (codePage.IconvName() == "UTF-8") {
        // Still validated, so a stray byte shows as U+FFFD rather than breaking the text.
        return *Converter("UTF-8", "UTF-8").Convert(bytes, "\xEF\xBF\xBD");
    }
    return Converter("UTF-8", codePage.IconvName()).Convert(bytes, "\xEF\xBF\xBD").value_or("");
}

std::string FromUtf8(std::string_view utf8, const CodePage& codePage) {
    if (codePage.IconvName() == "UTF-8") return std::string(utf8);
    Converter converter(codePage.IconvName(), "UTF-8");
    return converter.Convert(utf8, "?").value_or(std::string(utf8));
}

std::optional<std::string> FromUtf8Exact(std::string_view utf8, const CodePage& codePage) {
    if (codePage.IconvName() == "UTF-8") return std::string(utf8);
    return Converter(codePage.IconvName(), "UTF-8").Convert(utf8, {});
}

}  // namespace kavex::platform
