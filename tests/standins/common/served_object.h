// What a stand-in server hands out or publishes: a COM object that can count its strong external
// connections (IExternalConnection), so that a published instance can tell when its clients are gone.
// The object itself implements IUnknown (and answers IExternalConnection only once tracked).
#pragma once

#include <windows.h>

#include <objidl.h>

#include <functional>

namespace standin {

class ServedObject : public IExternalConnection {
public:
    // Answer IExternalConnection and report the count of strong external connections after each change.
    void TrackConnections(std::function<void(long)> onChange) { onConnections_ = std::move(onChange); }
    bool Tracked() const { return static_cast<bool>(onConnections_); }
    long Connections() const { return connections_; }

    DWORD STDMETHODCALLTYPE AddConnection(DWORD type, DWORD reserved) override;
    DWORD STDMETHODCALLTYPE ReleaseConnection(DWORD type, DWORD reserved, BOOL lastReleaseCloses) override;

protected:
    ServedObject() = default;
    ~ServedObject() = default;

private:
    std::function<void(long)> onConnections_;
    long connections_ = 0;
};

}  // namespace standin
