// Word's automation objects as the registration tool uses them: the application, its COM add-ins,
// command bars with their controls, and the Normal template. They are served through the type library
// (common/typed_object.h), so each member sees its arguments after the standard dispatcher matched them
// to its declared parameters, and reads them as Word does: an optional argument counts as left out only
// by the documented test (VT_ERROR holding DISP_E_PARAMNOTFOUND), anything else must convert to the type
// the member needs (VariantChangeType), or the member fails with DISP_E_TYPEMISMATCH.
//
// Labels in the journal:
//   Application  COMAddIns  COMAddIn#<i>  CommandBars  CommandBar(<name>)  Controls  Control#<k>
//   NormalTemplate
// (<i> the add-in's position in the list, <k> the control's number when the bar was set up; a control
// keeps its number when others are deleted.) Class names for fault rules: Application, COMAddIns,
// COMAddIn, CommandBars, CommandBar, CommandBarControls, Control, Template.
#pragma once

#include <memory>

#include "common/served_object.h"
#include "word/word_model.h"

namespace standin::word {

// Loads the interfaces' type information from the registered type library; false when it is missing.
bool LoadInterfaces();

ServedObject* NewApplication(std::shared_ptr<WordModel> model);

}  // namespace standin::word
