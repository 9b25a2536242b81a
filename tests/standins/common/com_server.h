// The process side of the stand-in automation servers: the class factory or the running-object-table
// entry, object counting, and the message loop with its ways out.
//
// A client that dies keeps its references under Wine (nobody releases them), so besides leaving when the
// last object is released, a server also leaves when "<exe>.stop" appears beside it or when no call came
// for the idle timeout.
//
// Journal lines written here:
//   ready               the class factory or the running instance is registered
//   CreateInstance      COM asked the class factory for a new object
//   released            the clients released the last object they held (for a running instance: its last
//                       client connection, counted through IExternalConnection)
//   exit reason=<why>   the last line before the process ends; why is one of
//                       released  the clients let go (a server set to leave then: started by COM)
//                       quit      the server was told to quit (it waits up to the grace time for the
//                                 clients' releases, so "released" before it shows that they came)
//                       stopfile  "<exe>.stop" appeared (it is left in place)
//                       timeout   no call for the idle timeout
//                       wm-quit   something else ended its message loop
//                       register-failed 0x<hresult>, coinitialize-failed   it could not start serving
//   busy rejected=<n>   a busy server (ServerConfig::busyMs) accepted a call after turning n away
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "common/served_object.h"

namespace standin {

enum class Publish {
    SingleUseFactory,    // one object per server process, the way COM starts a local server
    MultipleUseFactory,  // every activation served by this process
    // One object in the running object table. The server's own reference keeps it alive; the table's is
    // weak, because Wine tells IExternalConnection only about the first and the last external reference,
    // and a strong table entry would be that first one for ever, hiding the clients' releases.
    RunningObject,
    // Nothing: a program that runs but that COM cannot reach, as a Word that another user or integrity
    // level started is out of an elevated caller's reach.
    Unreachable,
};

struct ServerConfig {
    CLSID clsid{};
    Publish publish = Publish::SingleUseFactory;
    std::function<ServedObject*()> create;  // a new object holding one reference
    bool exitWhenReleased = true;
    DWORD idleTimeoutMs = 60000;
    DWORD quitGraceMs = 3000;
    // Busy for this long once serving: the server's message filter turns incoming calls away with
    // SERVERCALL_RETRYLATER, as a program does while it starts or shows a dialog.
    DWORD busyMs = 0;
    // Called once the server stops serving, while COM is still initialised (a host unloads its
    // in-process add-ins here: uninitialising COM frees their libraries).
    std::function<void()> onExit;
};

// Serves on the calling thread (COM is initialised here, apartment-threaded) until a way out is taken;
// returns the process exit code.
int RunServer(const ServerConfig& config);

// Called by the served objects: object counting and the idle clock.
void ServerObjectCreated();
void ServerObjectDestroyed();
void ServerActivity();
// Leave once the clients have released what they hold, or after the grace time; a running instance is
// taken out of the running object table at once. May be called inside an incoming call.
void ServerRequestExit(const std::wstring& reason);

// What a stand-in server does for each way it can be started.
struct ServerModes {
    int (*registerServer)();
    int (*unregisterServer)();
    // running = false: started by COM (-Embedding, /Automation); true: started by a test (/running).
    int (*serve)(bool running);
    // Started by a test with /unreachable, where the server has that mode: Publish::Unreachable.
    int (*serveUnreachable)() = nullptr;
};

// Picks the mode from the command line, journals "start mode=<mode> pid=<n>" and runs it; an unknown
// command line exits with 2.
int RunServerMain(const ServerModes& modes);

// The program's arguments (CommandLineToArgvW), without the program name.
std::vector<std::wstring> CommandLineArguments();
// True when `word` is among `args` after '/' or '-', compared without regard to case.
bool HasSwitch(const std::vector<std::wstring>& args, const wchar_t* word);

}  // namespace standin
