// The kernel object behind a file or pipe HANDLE: one descriptor, closed with
// the object. A pipe end reads what is there instead of filling the buffer.
#pragma once

#include <unistd.h>

#include "platform/services/KernelObjects.h"

namespace platform {

class FileObject : public KernelObject {
public:
    enum class Kind { File, Pipe };
    FileObject(int descriptor, Kind of = Kind::File) : fd(descriptor), kind(of) {}
    ~FileObject() override { ::close(fd); }
    FileObject(const FileObject&) = delete;
    FileObject& operator=(const FileObject&) = delete;

    const int fd;
    const Kind kind;
};

}  // namespace platform
