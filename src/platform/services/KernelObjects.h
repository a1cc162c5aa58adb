// The table behind kernel HANDLEs (files, file mappings). A handle carries a
// generation, so a handle that was closed is recognised and refused instead of
// reaching a reused slot.
#pragma once

#include <memory>

#include "platform/api/Types.h"

namespace platform {

class KernelObject {
public:
    virtual ~KernelObject() = default;
};

class KernelObjects {
public:
    static HANDLE add(std::unique_ptr<KernelObject> object);
    // The object of a live handle, or null; T must be its exact class.
    template <typename T>
    static T* get(HANDLE handle) {
        return dynamic_cast<T*>(find(handle));
    }
    static bool close(HANDLE handle);

private:
    static KernelObject* find(HANDLE handle);
};

}  // namespace platform
