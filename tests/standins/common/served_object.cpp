#include "common/served_object.h"

namespace standin {

DWORD ServedObject::AddConnection(DWORD type, DWORD) {
    if (type & EXTCONN_STRONG) {
        ++connections_;
        if (onConnections_) onConnections_(connections_);
    }
    return static_cast<DWORD>(connections_);
}

DWORD ServedObject::ReleaseConnection(DWORD type, DWORD, BOOL) {
    if (type & EXTCONN_STRONG) {
        --connections_;
        if (onConnections_) onConnections_(connections_);
    }
    return static_cast<DWORD>(connections_);
}

}  // namespace standin
