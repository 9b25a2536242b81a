// IDTExtensibility2, the interface through which Office hosts talk to a COM add-in, as Microsoft
// publishes it (AddInDesignerObjects): a dual interface whose five methods follow IDispatch's.
// Shared by the Word stand-in, which loads add-ins, and the add-in library stand-in.
#pragma once

#include <windows.h>

#include <oaidl.h>

namespace standin {

// {B65AD801-ABAF-11D0-BB8B-00A0C90F2744}
inline constexpr IID kExtensibilityIid = {
    0xB65AD801, 0xABAF, 0x11D0, {0xBB, 0x8B, 0x00, 0xA0, 0xC9, 0x0F, 0x27, 0x44}};

// ext_ConnectMode
enum ExtConnectMode {
    kConnectAfterStartup = 0,
    kConnectStartup = 1,
    kConnectExternal = 2,
    kConnectCommandLine = 3
};
// ext_DisconnectMode
enum ExtDisconnectMode { kDisconnectHostShutdown = 0, kDisconnectUserClosed = 1 };

struct IDTExtensibility2 : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, ExtConnectMode mode,
                                                   IDispatch* addInInst, SAFEARRAY** custom) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnDisconnection(ExtDisconnectMode mode, SAFEARRAY** custom) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) = 0;
};

}  // namespace standin
