// The real switch table's order: for each two switches next to each other in it, both are given in
// the reverse order, in a scene where the two would leave different traces, and the earlier one must be
// the one that acted.
#include "e2e/word_fixture.h"
#include "e2e/writer_suite.h"

namespace {

using namespace wordtest;

const std::wstring kKingsoft = L"SOFTWARE\\Kingsoft";
const std::wstring kWpsAddin = kKingsoft + L"\\Office\\WPS\\Addins\\CVWPSAddin2.TCVWPSAddin2";
const std::wstring kMenuExt = L"Software\\Microsoft\\Internet Explorer\\MenuExt";

// Word 16 (the stand-in) is registered and creatable, WPS is not, the office suite's package tool is
// present and Writer is not running; the tool's folder holds the main application, the add-in library
// and the extension package. So "wv" gives 0, "pv" 1, "ov" 0, and every other switch leaves a trace
// of its own or a different exit code.
class SwitchOrder : public WordTest {
protected:
    SwitchOrder() : WordTest(L"switch order") {
        cxtest::WriteTextFile(Path(L"CVOOAddin.oxt"), L"PK");
        cxtest::DeleteTree(HKEY_CLASSES_ROOT, L"WPS.Application");
        writer_.InstallSuite();
    }
    ~SwitchOrder() override { ClearTraces(); }

    void ClearTraces() const {
        cxtest::DeleteFileIfPresent(Path(L"Corvane.exe.journal"));
        cxtest::DeleteFileIfPresent(Path(L"CVWordAddin2.dll.journal"));
        writertest::WriterScene::ClearToolJournal();
        cxtest::DeleteTree(HKEY_LOCAL_MACHINE, kKingsoft);
        cxtest::DeleteTree(HKEY_CURRENT_USER, kMenuExt);
    }

    // What the run left behind, in a fixed order: the main application's registration, the add-in
    // library's entry points, the WPS add-in key, the package tool's verbs, the browser entries.
    std::vector<std::wstring> Traces() const {
        std::vector<std::wstring> traces;
        for (const std::wstring& line : AppJournal()) {
            traces.push_back(line == AppCall(L"regserver")     ? L"app regserver"
                             : line == AppCall(L"unregserver") ? L"app unregserver"
                                                               : L"app " + line);
        }
        for (const std::wstring& line : AddinJournal()) {
            if (StartsWith(line, L"Dll")) traces.push_back(L"library " + line);
        }
        if (cxtest::KeyExists(HKEY_LOCAL_MACHINE, kWpsAddin)) traces.push_back(L"wps key");
        const std::wstring tool = L"\"" + writertest::WriterScene::SuitePath(L"unopkg.com") + L"\" ";
        for (const std::wstring& line : writertest::WriterScene::ToolCommandLines()) {
            const std::wstring rest = StartsWith(line, tool) ? line.substr(tool.size()) : line;
            traces.push_back(L"package tool " + rest.substr(0, rest.find(L' ')));
        }
        if (!cxtest::SubKeys(HKEY_CURRENT_USER, kMenuExt).empty()) traces.push_back(L"browser entries");
        return traces;
    }

    writertest::WriterScene writer_{L"switch order suite"};
};

struct OrderCase {
    const wchar_t* args;  // the later switch first
    std::int32_t exitCode;
    std::vector<std::wstring> traces;
};

TEST_F(SwitchOrder, OfTwoNeighbouringSwitchesTheEarlierActsWhateverTheCommandLineOrder) {
    const OrderCase cases[] = {
        {L"/pv /wv", 0, {}},
        {L"/ov /pv", 1, {}},
        // "ni" and "nu" do not end the run: "ov" must end it before "ni" registers anything.
        {L"/ni /ov", 0, {}},
        {L"/nu /ni", kNothingDone, {L"app regserver"}},
        {L"/wi /nu", 0, {L"app unregserver", L"library DllRegisterServer"}},
        {L"/wi /ov", 0, {}},
        {L"/wu /wi", 0, {L"library DllRegisterServer"}},
        {L"/pi /wu", 0, {L"library DllUnregisterServer"}},
        {L"/pu /pi", 0, {L"wps key"}},
        {L"/oi /pu", 1, {}},
        {L"/ou /oi", 0, {L"package tool add"}},
        {L"/eu /ou", 0, {L"package tool remove"}},
        {L"/eizh_CN /eu", 0, {}},
    };
    for (const OrderCase& c : cases) {
        SCOPED_TRACE(Text(c.args));
        ClearTraces();
        const auto run = Run(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_TRUE(run.boxes.empty());
        EXPECT_EQ(Traces(), c.traces);
    }
}

}  // namespace
