// A small localization service for engine tests: tokens added by the test,
// UTF-8 conversion, and "%s1".."%s3" construction bounded by the buffer.
#pragma once

#include <map>
#include <string>

#include "services/ILocalize.h"
#include "vgui2/TextConvert.h"

namespace enginetest {

class FakeLocalize final : public vgui2::ILocalize {
public:
    void Set(const std::string& token, const std::u16string& text) { m_tokens[token] = text; }

    bool AddFile(IFileSystem*, const char*) override { return false; }
    void RemoveAll() override { m_tokens.clear(); }
    const vgui2::wchar* Find(const char* tokenName) override {
        std::string name = tokenName && *tokenName == '#' ? tokenName + 1 : tokenName;
        auto found = m_tokens.find(name);
        return found == m_tokens.end() ? nullptr : found->second.c_str();
    }
    void AddString(const char* tokenName, const vgui2::wchar* text, const char*) override {
        m_tokens[tokenName] = text;
    }
    int ConvertANSIToUnicode(const char* ansi, vgui2::wchar* unicode, int bytes) override {
        return vgui2::Utf8ToWide(ansi, unicode, bytes);
    }
    int ConvertUnicodeToANSI(const vgui2::wchar* unicode, char* ansi, int bytes) override {
        return vgui2::WideToUtf8(unicode, ansi, bytes);
    }
    void ConstructString(vgui2::wchar* output, int bytes, const vgui2::wchar* format, int count,
                         const vgui2::wchar* a1, const vgui2::wchar* a2, const vgui2::wchar* a3) override {
        const vgui2::wchar* arguments[3] = {a1, a2, a3};
        std::u16string text;
        for (const vgui2::wchar* c = format; *c; ++c) {
            if (c[0] == u'%' && c[1] == u's' && c[2] >= u'1' && c[2] <= u'3') {
                int index = c[2] - u'1';
                if (index < count && arguments[index]) {
                    text += arguments[index];
                }
                c += 2;
            } else {
                text += *c;
            }
        }
        std::size_t capacity = static_cast<std::size_t>(bytes) / 2 - 1;
        text.resize(std::min(text.size(), capacity));
        text.copy(output, text.size());
        output[text.size()] = 0;
    }
    void ConstructString(vgui2::wchar* output, int, const char*, KeyValues*) override { output[0] = 0; }

private:
    std::map<std::string, std::u16string> m_tokens;
};

}  // namespace enginetest
