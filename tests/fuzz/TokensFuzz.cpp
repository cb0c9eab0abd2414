// Token files and the localization service's text building. The input gives
// a locale name, a file name, three arguments, a format text of raw wide
// characters, buffer sizes and, in the rest, a token file. The tokens are
// registered as start-up would, then texts are built from them and from the
// raw format, with arguments and with a KeyValues of variables, into
// buffers of exactly the byte size passed. A text built into a small buffer
// must be a terminated beginning of the same text built into a large one,
// cut only when the small buffer is full; the conversions must stay inside
// their buffers as well.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "modules/updvgui2/Localize.h"
#include "modules/updvgui2/TokenFile.h"
#include "tests/fuzz/FuzzSupport.h"
#include "vgui2/KeyValues.h"

namespace {

using vgui2::wchar;

// The whole text is built into one large buffer kept for the process; a
// text that fills it is not compared, as it may be cut itself.
constexpr int kLargeBytes = 1 << 18;
constexpr int kMostSmallBytes = 600;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "fuzz_tokens: %s\n", what);
    std::abort();
}

std::u16string RawWide(const std::string& bytes) {
    std::u16string wide(bytes.size() / sizeof(char16_t), u'\0');
    std::memcpy(wide.data(), bytes.data(), wide.size() * sizeof(char16_t));
    // The services take terminated texts: a zero inside ends the text early,
    // as it would for a caller.
    return std::u16string(wide.c_str());
}

// A caller's buffer of exactly the byte size it passes, so that a write
// past the end is a memory error and not a silent overrun.
class WideBuffer {
public:
    explicit WideBuffer(int bytes) : m_bytes(bytes), m_storage(static_cast<std::size_t>(bytes)) {}
    wchar* Data() { return reinterpret_cast<wchar*>(m_storage.data()); }
    int Bytes() const { return m_bytes; }
    int Capacity() const { return m_bytes / 2; }

    // The text written, checking that it is terminated inside the buffer.
    std::u16string Text() {
        if (Capacity() == 0) {
            return {};
        }
        std::u16string_view text(Data(), static_cast<std::size_t>(Capacity()));
        std::size_t end = text.find(u'\0');
        if (end == std::u16string_view::npos) {
            Fail("a built text is not terminated inside its buffer");
        }
        return std::u16string(text.substr(0, end));
    }

private:
    int m_bytes;
    std::vector<unsigned char> m_storage;
};

WideBuffer& Large() {
    static WideBuffer large(kLargeBytes);
    return large;
}

void CheckCut(WideBuffer& small, const std::u16string& whole) {
    if (small.Capacity() == 0 || static_cast<int>(whole.size()) + 2 >= Large().Capacity()) {
        return;
    }
    std::u16string cut = small.Text();
    if (whole.compare(0, cut.size(), cut) != 0) {
        Fail("a text built into a small buffer is not the beginning of the whole text");
    }
    // One place for the terminator, one more when a pair did not fit.
    if (cut.size() < whole.size() && static_cast<int>(cut.size()) + 2 < small.Capacity()) {
        Fail("a text was cut although the buffer had room");
    }
}

void BuildFromArguments(CLocalize& localize, const std::u16string& format, const std::u16string args[3],
                        int count, int smallBytes) {
    WideBuffer& large = Large();
    WideBuffer small(smallBytes);
    localize.ConstructString(large.Data(), large.Bytes(), format.c_str(), count, args[0].c_str(), args[1].c_str(),
                             args[2].c_str());
    localize.ConstructString(small.Data(), small.Bytes(), format.c_str(), count, args[0].c_str(), args[1].c_str(),
                             args[2].c_str());
    CheckCut(small, large.Text());
}

void BuildFromVariables(CLocalize& localize, const char* tokenName, KeyValues* variables, int smallBytes) {
    WideBuffer& large = Large();
    WideBuffer small(smallBytes);
    localize.ConstructString(large.Data(), large.Bytes(), tokenName, variables);
    localize.ConstructString(small.Data(), small.Bytes(), tokenName, variables);
    CheckCut(small, large.Text());
}

void ConvertBothWays(CLocalize& localize, const std::string& narrow, int bytes) {
    WideBuffer wide(bytes);
    localize.ConvertANSIToUnicode(narrow.c_str(), wide.Data(), wide.Bytes());
    std::u16string converted = wide.Text();
    std::vector<char> back(static_cast<std::size_t>(bytes));
    localize.ConvertUnicodeToANSI(converted.c_str(), back.data(), bytes);
    if (bytes > 0 && std::memchr(back.data(), '\0', static_cast<std::size_t>(bytes)) == nullptr) {
        Fail("a narrow conversion is not terminated inside its buffer");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzsupport::ConnectKeyValues();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    std::string locale = input.ConsumeRandomLengthString(32);
    std::string fileName = input.ConsumeRandomLengthString(64);
    std::u16string args[3];
    for (std::u16string& arg : args) {
        arg = RawWide(input.ConsumeRandomLengthString(64));
    }
    std::u16string format = RawWide(input.ConsumeRandomLengthString(256));
    int count = input.ConsumeIntegralInRange(-1, 4);
    int smallBytes = input.ConsumeIntegralInRange(0, kMostSmallBytes);
    std::string fileText = input.ConsumeRemainingBytesAsString();

    std::string language = LanguageFromLocale(locale.c_str());
    if (SubstituteLanguage(fileName.c_str(), language).find("%language%") != std::string::npos) {
        Fail("a language placeholder survived");
    }

    // Without a surface the locale names the language; nothing here reads it.
    CLocalize localize(nullptr);
    TokenList tokens = ParseTokenFile(fileText.c_str());
    for (const auto& [name, value] : tokens) {
        WideBuffer wide(static_cast<int>(value.size() + 1) * 2);
        localize.ConvertANSIToUnicode(value.c_str(), wide.Data(), wide.Bytes());
        localize.AddString(name.c_str(), wide.Data(), "fuzz.txt");
        // A name that is nothing but the optional "#" names no token.
        bool named = !name.empty() && name != "#";
        if (named && !localize.Find(name.c_str())) {
            Fail("a token just added is not found");
        }
        ConvertBothWays(localize, value, smallBytes);
    }

    BuildFromArguments(localize, format, args, count, smallBytes);
    // The token file doubles as the variables: "%name%" picks its values.
    KeyValues* variables = new KeyValues("variables");
    variables->LoadFromBuffer(fileText.c_str());
    for (const auto& [name, value] : tokens) {
        if (const wchar* text = localize.Find(name.c_str())) {
            BuildFromArguments(localize, text, args, count, smallBytes);
        }
        BuildFromVariables(localize, name.c_str(), variables, smallBytes);
        BuildFromVariables(localize, name.c_str(), variables->FindKey("Tokens"), smallBytes);
    }
    variables->deleteThis();
    return 0;
}
