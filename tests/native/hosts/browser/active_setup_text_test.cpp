#include "hosts/browser/active_setup_text.h"

#include <gtest/gtest.h>

namespace cx {
namespace {

TEST(ActiveSetupVersion, TheLastPartIsRaisedWithACarryAndUnreadableTextStartsAfresh) {
    const struct {
        const wchar_t* current;
        std::optional<std::wstring> next;
    } cases[] = {
        {L"", L"1,0,0,0"},
        {L"1,0,0,0", L"1,0,0,1"},
        {L"2,5", L"2,5,0,1"},
        {L"1.2.3.4", L"1,2,3,5"},
        {L"1,0,0,65535", L"1,0,1,0"},
        {L"3,65535,65535,65535", L"4,0,0,0"},
        {L"65535,65535,65535,65535", std::nullopt},
        {L"1,,2", L"1,0,0,0"},
        {L"1,2,3,4,5", L"1,0,0,0"},
        {L"65536", L"1,0,0,0"},
        {L" 1,2", L"1,0,0,0"},
        {L"1,2,", L"1,0,0,0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.current)));
        EXPECT_EQ(NextActiveSetupVersion(c.current), c.next);
    }
}

const std::wstring kReg = L"\"%SystemRoot%\\System32\\reg.exe\"";
const std::wstring kKey = L"\"HKCU\\Software\\Microsoft\\Internet Explorer\\MenuExt\\";

TEST(MenuStubPath, DeletesThenAddsWithBlanksAndChineseCarriedInQuotes) {
    const std::wstring caption = L"将内容添加为 Corvane2 笔记 & more";
    const std::wstring page = L"C:\\Program Files (x86)\\Corvane2\\BrowserExt\\IEContext_Content_Note.htm";
    const std::wstring old[] = {L"Old Caption\\"};
    const MenuEntryText add[] = {{caption, page}};
    EXPECT_EQ(MenuStubPath(old, add),
              L"\"%SystemRoot%\\System32\\cmd.exe\" /d /v:off /s /c \"" + kReg + L" delete " + kKey +
                  L"Old Caption\\\\\" /f & " + kReg + L" add " + kKey + caption + L"\" /ve /d \"" + page +
                  L"\" /f & " + kReg + L" add " + kKey + caption + L"\" /v Contexts /t REG_DWORD /d 57 /f\"");
    // What a command deletes or creates is read back from it, trailing backslashes undoubled.
    EXPECT_EQ(MenuStubCaptions(*MenuStubPath(old, add)),
              (std::vector<std::wstring>{L"Old Caption\\", caption}));
    const std::wstring backslashes[] = {L"\\", L"a\\\\"};
    EXPECT_EQ(MenuStubCaptions(*MenuStubPath(backslashes, {})), (std::vector<std::wstring>{L"\\", L"a\\\\"}));
    EXPECT_TRUE(MenuStubCaptions(L"\"C:\\Other\\setup.exe\" /x").empty());
}

TEST(MenuStubPath, RefusesTextThatCannotBeCarriedUnchanged) {
    const std::wstring page = L"C:\\Corvane2\\BrowserExt\\IEContext_Url_Ref.htm";
    for (const std::wstring& caption :
         {std::wstring(), std::wstring(L"Say \"hi\""), std::wstring(L"100%"), std::wstring(L"a\nb")}) {
        SCOPED_TRACE(::testing::PrintToString(caption));
        const MenuEntryText add[] = {{caption, page}};
        EXPECT_EQ(MenuStubPath({}, add), std::nullopt);
        const std::wstring remove[] = {caption};
        EXPECT_EQ(MenuStubPath(remove, {}), std::nullopt);
    }
    const MenuEntryText inPercentFolder[] = {{L"Add", L"C:\\100% sure\\BrowserExt\\a.htm"}};
    EXPECT_EQ(MenuStubPath({}, inPercentFolder), std::nullopt);
    const MenuEntryText tooLong[] = {{L"Add", L"C:\\" + std::wstring(8000, L'x')}};
    EXPECT_EQ(MenuStubPath({}, tooLong), std::nullopt);
}

}  // namespace
}  // namespace cx
