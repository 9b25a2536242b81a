// The office suite's automation objects as the Writer facade uses them, reached from the service
// manager. Labels in the journal:
//   ServiceManager  DefaultContext  Desktop  TextDocument  SpreadsheetDocument  Controller  Frame
//   ContainerWindow  PosSize  ViewCursor  DispatchHelper  CoreReflection  IdlClass(<type name>)
//   PropertyValue#<n>  (n counts from 1 in each server process)
// Inside an argument a property value reads PropertyValue#<n>{Name=<name>, Value=<argument>}, e.g.
// PropertyValue#1{Name="Param", Value=VT_BSTR "x"}.
//
// Scenario file "OfficeStandin.exe.scenario" beside the executable (key=value lines), every key optional:
//   component=text|spreadsheet|none|null|number
//                        what Desktop.GetCurrentComponent returns: a text document (default), a
//                        spreadsheet, VT_EMPTY, VT_DISPATCH holding null, or VT_I4 42
//   window=<X>,<Y>,<Width>,<Height>   what PosSize answers (default 100,50,800,600)
//   fail=<rule>          makes a member fail (rules in common/fault_rules.h)
//   timeout=<seconds>    leave after this long without any call (default 60)
#pragma once

#include <memory>

#include "common/dispatch_object.h"
#include "common/scenario.h"

namespace standin::office {

enum class Component { Text, Spreadsheet, None, Null, Number };

struct OfficeModel {
    Component component = Component::Text;
    long window[4] = {100, 50, 800, 600};
    int propertyValues = 0;  // how many were created, for their labels
};

std::shared_ptr<OfficeModel> ModelFromScenario(const Scenario& scenario);

DispatchObject* NewServiceManager(std::shared_ptr<OfficeModel> model);

}  // namespace standin::office
