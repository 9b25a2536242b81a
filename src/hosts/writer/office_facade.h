// The editor facade: how the reference manager talks to a running word processor through automation.
// OleEditorFacade is the abstract editor; OleEditorFacadeOO drives OpenOffice Writer through the
// suite's automation bridge ("com.sun.star.ServiceManager"), by member name only.
//
// Callers initialise COM (apartment-threaded) on the calling thread first.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/com/com_ptr.h"
#include "platform/process/running_processes.h"
#include "platform/process/started_server.h"

namespace cx {

class OleEditorFacade {
public:
    OleEditorFacade() = default;
    OleEditorFacade(const OleEditorFacade&) = delete;
    OleEditorFacade& operator=(const OleEditorFacade&) = delete;
    virtual ~OleEditorFacade() = default;

    // The outer screen rectangle of the document's window.
    virtual RECT GetDocumentWindowRect() = 0;
    // The text to show when there is no document to work on.
    virtual std::wstring GetNoDocumentMessage() = 0;
    // Connects to the suite, starting it if needed.
    virtual void ConnectSuite() = 0;
    // Runs the add-in command `index` of the editor's extension with an optional text parameter.
    virtual void ExecuteAddinCommand(std::uint8_t index, const std::wstring& parameter) = 0;
    // Connects only when the suite runs already.
    virtual void ConnectIfRunning() = 0;
    // Takes the suite's current component as the document when it is one this editor handles.
    virtual void FindActiveDocument() = 0;
    // Pastes RTF text (ANSI) after the current selection.
    virtual void PasteRtf(const std::string& rtf) = 0;

    // Null until a connect, respectively FindActiveDocument, succeeded.
    const ComPtr<IDispatch>& ServiceManager() const { return serviceManager_; }
    const ComPtr<IDispatch>& Document() const { return document_; }

protected:
    ComPtr<IDispatch> serviceManager_;
    ComPtr<IDispatch> document_;
};

// The Writer extension's commands, by index; the dispatch URL is "com.corvane2.cvooaddin:" + name.
inline constexpr std::array<std::wstring_view, 17> kWriterAddinCommands = {
    L"CV2GoToCorvane",           // 0
    L"CV2FindCitation",          // 1
    L"CV2InsertCitation",        // 2
    L"CV2InsertComment",         // 3
    L"CV2InsertNote",            // 4
    L"CV2FormatBibliography",    // 5
    L"CV2EditCitation",          // 6
    L"CV2LocateBib",             // 7
    L"CV2Locate",                // 8
    L"CV2UnformatBibliography",  // 9
    L"CV2Update",                // 10
    L"CV2Preference",            // 11
    L"CV2ArrangeWindow",         // 12
    L"CV2Help",                  // 13
    L"CV2StyleMenu",             // 14
    L"CV2SelStyle",              // 15
    L"CV2QuickFormat",           // 16
};

// Failures: ConnectIfRunning, ConnectSuite and FindActiveDocument never raise (a failure leaves the
// reference null). A missing reference that an operation needs, or a dispatcher or frame that is not
// an object, raises EAssertionFailed. Automation failures of the window rectangle and of dispatching
// reach the caller as EOleSysError/EOleException.
class OleEditorFacadeOO : public OleEditorFacade {
public:
    // `processes` tells which suite processes run and whether they can be reached (tests pass their own).
    explicit OleEditorFacadeOO(const ProcessApi& processes = SystemProcessApi()) : processes_(&processes) {}

    RECT GetDocumentWindowRect() override;
    std::wstring GetNoDocumentMessage() override;
    void ConnectSuite() override;
    void ExecuteAddinCommand(std::uint8_t index, const std::wstring& parameter) override;
    // Connects only when a process named "soffice.bin" runs that the tool's automation calls reach: in
    // its own session and, when the tool is elevated, elevated too. Otherwise COM would start a suite
    // (elevated, hidden) instead of reaching the user's, so nothing is created.
    void ConnectIfRunning() override;
    // The current component, when it supports "com.sun.star.text.TextDocument".
    void FindActiveDocument() override;
    // Puts the text on the clipboard as "Rich Text Format" and dispatches ".uno:Paste"; failures of
    // those two steps are swallowed (moving the view cursor is not).
    void PasteRtf(const std::string& rtf) override;

    // Executes a dispatch URL on the document's frame through the suite's DispatchHelper, with a
    // property value "Param" holding `parameter` when it is not empty.
    void DispatchCommand(const std::wstring& url, const std::wstring& parameter);

    // The suite process that the last connect made COM start (null when it reached a running one, or
    // the process is not known); handed over to the caller, which decides whether it stays.
    std::unique_ptr<StartedServer> TakeStartedSuite() { return std::move(startedSuite_); }

private:
    const ProcessApi* processes_;
    std::unique_ptr<StartedServer> startedSuite_;
};

// The facade classes by name, compared by the user locale without regard to case. "OOWriter" is
// registered from the start.
using FacadeFactory = std::unique_ptr<OleEditorFacade> (*)();
// Registering a name that is present replaces its class.
void RegisterFacadeClass(std::wstring_view name, FacadeFactory factory);
// Null when the name is not registered.
std::unique_ptr<OleEditorFacade> CreateFacade(std::wstring_view name);

}  // namespace cx
