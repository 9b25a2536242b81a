#include "word/word_model.h"

#include <cwchar>

#include "common/journal.h"

namespace standin::word {

std::shared_ptr<WordModel> ModelFromScenario(const Scenario& scenario) {
    auto model = std::make_shared<WordModel>();
    model->visible = scenario.Flag("visible", false);
    for (const auto& line : scenario.GetAll("addin")) {
        const auto semicolon = line.find(L';');
        AddIn addIn;
        addIn.progId = line.substr(0, semicolon);
        addIn.connected = semicolon != std::wstring::npos && line.substr(semicolon + 1) == L"connected";
        model->addIns.push_back(addIn);
    }
    for (const auto& line : scenario.GetAll("bar")) {
        const auto colon = line.find_last_of(L':');
        CommandBar bar;
        bar.name = line.substr(0, colon);
        const long count =
            colon == std::wstring::npos ? 0 : std::wcstol(line.c_str() + colon + 1, nullptr, 10);
        for (int i = 1; i <= count; ++i) bar.controls.push_back(i);
        model->bars.push_back(bar);
    }
    const auto unknown = scenario.Get("unknown_bar").value_or(L"fail");
    if (unknown == L"null") {
        model->unknownBar = UnknownBar::Null;
    } else if (unknown != L"fail") {
        Journal(L"scenario-error unknown_bar=" + unknown);
    }
    return model;
}

}  // namespace standin::word
