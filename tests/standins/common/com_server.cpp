#include "common/com_server.h"

#include <objbase.h>
#include <oleauto.h>
#include <shellapi.h>

#include <optional>

#include "common/busy_filter.h"
#include "common/journal.h"

namespace standin {
namespace {

constexpr UINT kExitMessage = WM_APP + 1;
constexpr UINT kTickMs = 100;

struct ServerState {
    bool serving = false;
    DWORD thread = 0;
    bool exitWhenReleased = false;
    DWORD idleTimeoutMs = 0;
    DWORD quitGraceMs = 0;
    long liveObjects = 0;
    long serverHeld = 0;        // objects the server holds itself: the published running instance
    long baseConnections = -1;  // the running instance's connections right after it was published
    long clientConnections = 0;
    long clientHeld = 0;
    ULONGLONG lastActivity = 0;
    std::optional<std::wstring> exitRequest;
    ULONGLONG exitRequestedAt = 0;
    std::optional<std::wstring> finishReason;
    ServedObject* published = nullptr;
    DWORD rotCookie = 0;
};

ServerState& State() {
    static ServerState state;
    return state;
}

void Finish(const std::wstring& reason) {
    ServerState& s = State();
    if (!s.serving || s.finishReason) return;
    s.finishReason = reason;
    ::PostQuitMessage(0);
}

// Re-evaluates what the clients hold after any change of the counts.
void Recount() {
    ServerState& s = State();
    if (!s.serving) return;
    const long held = s.liveObjects - s.serverHeld + (s.clientConnections > 0 ? s.clientConnections : 0);
    const bool wentToZero = s.clientHeld > 0 && held <= 0;
    s.clientHeld = held;
    if (held > 0) return;
    if (wentToZero) Journal(L"released");
    if (s.exitRequest) {
        Finish(*s.exitRequest);
    } else if (wentToZero && s.exitWhenReleased) {
        Finish(L"released");
    }
}

void Unpublish() {
    ServerState& s = State();
    if (!s.published) return;
    if (s.rotCookie) ::RevokeActiveObject(s.rotCookie, nullptr);
    s.rotCookie = 0;
    s.serverHeld = 0;
    s.baseConnections = -1;
    s.clientConnections = 0;
    ServedObject* object = s.published;
    s.published = nullptr;
    object->Release();
    Recount();
}

void Tick() {
    ServerState& s = State();
    const ULONGLONG now = ::GetTickCount64();
    if (::GetFileAttributesW((OwnModulePath() + L".stop").c_str()) != INVALID_FILE_ATTRIBUTES) {
        Finish(L"stopfile");
    } else if (s.exitRequest && now - s.exitRequestedAt >= s.quitGraceMs) {
        Finish(*s.exitRequest);
    } else if (now - s.lastActivity >= s.idleTimeoutMs) {
        Finish(L"timeout");
    }
}

class ClassFactory : public IClassFactory {
public:
    explicit ClassFactory(std::function<ServedObject*()> create) : create_(std::move(create)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
        *out = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    // Lives as long as the server; COM's references do not decide its lifetime.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        ServerActivity();
        Journal(L"CreateInstance");
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        ServedObject* object = create_();
        const HRESULT hr = object->QueryInterface(iid, out);
        object->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) {
            ServerObjectCreated();
        } else {
            ServerObjectDestroyed();
        }
        return S_OK;
    }

private:
    std::function<ServedObject*()> create_;
};

}  // namespace

void ServerObjectCreated() {
    ++State().liveObjects;
    Recount();
}

void ServerObjectDestroyed() {
    --State().liveObjects;
    Recount();
}

void ServerActivity() {
    State().lastActivity = ::GetTickCount64();
}

void ServerRequestExit(const std::wstring& reason) {
    ServerState& s = State();
    if (!s.serving || s.exitRequest) return;
    s.exitRequest = reason;
    s.exitRequestedAt = ::GetTickCount64();
    // Revoking the table entry is itself a COM call: leave it to the loop, after the current call returned.
    ::PostThreadMessageW(s.thread, kExitMessage, 0, 0);
}

int RunServer(const ServerConfig& config) {
    ServerState& s = State();
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        Journal(L"exit reason=coinitialize-failed");
        return 1;
    }
    s.thread = ::GetCurrentThreadId();
    s.exitWhenReleased = config.exitWhenReleased;
    s.idleTimeoutMs = config.idleTimeoutMs;
    s.quitGraceMs = config.quitGraceMs;
    s.lastActivity = ::GetTickCount64();
    s.serving = true;
    if (config.busyMs > 0) RegisterBusyFilter(config.busyMs);

    ClassFactory factory(config.create);
    DWORD factoryCookie = 0;
    HRESULT hr = S_OK;
    if (config.publish == Publish::RunningObject) {
        s.serverHeld = 1;  // before the object counts itself, so that it is not taken for a client's
        s.published = config.create();
        s.published->TrackConnections([](long connections) {
            ServerState& state = State();
            if (state.baseConnections < 0) return;
            state.clientConnections = connections - state.baseConnections;
            Recount();
        });
        hr = ::RegisterActiveObject(s.published, config.clsid, ACTIVEOBJECT_WEAK, &s.rotCookie);
        s.baseConnections = s.published->Connections();
    } else if (config.publish != Publish::Unreachable) {
        const DWORD flags =
            config.publish == Publish::SingleUseFactory ? REGCLS_SINGLEUSE : REGCLS_MULTIPLEUSE;
        hr = ::CoRegisterClassObject(config.clsid, &factory, CLSCTX_LOCAL_SERVER, flags, &factoryCookie);
    }
    if (FAILED(hr)) {
        wchar_t text[64];
        ::wsprintfW(text, L"exit reason=register-failed 0x%08lX", static_cast<unsigned long>(hr));
        s.serving = false;
        Unpublish();
        ::CoUninitialize();
        Journal(text);
        return 1;
    }
    Journal(L"ready");

    const UINT_PTR timer = ::SetTimer(nullptr, 0, kTickMs, nullptr);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == nullptr && msg.message == WM_TIMER) {
            Tick();
            continue;
        }
        if (msg.hwnd == nullptr && msg.message == kExitMessage) {
            Unpublish();
            Recount();
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    ::KillTimer(nullptr, timer);

    // Only Finish ends the loop; anything else posting WM_QUIT is unexpected and named as such.
    const std::wstring reason = s.finishReason.value_or(L"wm-quit");
    s.serving = false;
    Unpublish();
    if (factoryCookie) ::CoRevokeClassObject(factoryCookie);
    if (config.onExit) config.onExit();
    ::CoUninitialize();
    Journal(L"exit reason=" + reason);
    return 0;
}

int RunServerMain(const ServerModes& modes) {
    const auto args = CommandLineArguments();
    auto start = [](const wchar_t* mode) {
        Journal(std::wstring(L"start mode=") + mode + L" pid=" + std::to_wstring(::GetCurrentProcessId()));
    };
    if (HasSwitch(args, L"regserver")) {
        start(L"regserver");
        return modes.registerServer();
    }
    if (HasSwitch(args, L"unregserver")) {
        start(L"unregserver");
        return modes.unregisterServer();
    }
    if (HasSwitch(args, L"Embedding") || HasSwitch(args, L"Automation")) {
        start(L"embedding");
        return modes.serve(false);
    }
    if (HasSwitch(args, L"running")) {
        start(L"running");
        return modes.serve(true);
    }
    if (modes.serveUnreachable && HasSwitch(args, L"unreachable")) {
        start(L"unreachable");
        return modes.serveUnreachable();
    }
    start(L"none");
    return 2;
}

std::vector<std::wstring> CommandLineArguments() {
    int count = 0;
    LPWSTR* list = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::wstring> args;
    for (int i = 1; list && i < count; ++i) args.emplace_back(list[i]);
    if (list) ::LocalFree(list);
    return args;
}

bool HasSwitch(const std::vector<std::wstring>& args, const wchar_t* word) {
    for (const auto& arg : args) {
        if (arg.size() < 2 || (arg[0] != L'/' && arg[0] != L'-')) continue;
        if (::CompareStringOrdinal(arg.c_str() + 1, -1, word, -1, TRUE) == CSTR_EQUAL) return true;
    }
    return false;
}

}  // namespace standin
