// Word's automation objects as the registration tool uses them: the application, its COM add-ins,
// command bars with their controls, and the Normal template. Labels in the journal:
//   Application  COMAddIns  COMAddIn#<i>  CommandBars  CommandBar(<name>)  Controls  Control#<k>
//   NormalTemplate
// (<i> the add-in's position in the list, <k> the control's number when the bar was set up; a control
// keeps its number when others are deleted.)
#pragma once

#include <memory>

#include "common/dispatch_object.h"
#include "word/word_model.h"

namespace standin::word {

// Word's application interface; the application object answers it with its IDispatch.
inline constexpr IID kApplicationIid = {
    0x00020970, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

DispatchObject* NewApplication(std::shared_ptr<WordModel> model);

}  // namespace standin::word
