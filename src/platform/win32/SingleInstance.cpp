#include "SingleInstance.h"

namespace corv::win32 {

SingleInstance::SingleInstance(const wchar_t* name) : mutex_(CreateMutexW(nullptr, FALSE, name)) {
    another_ =
        mutex_ ? GetLastError() == ERROR_ALREADY_EXISTS : GetLastError() == ERROR_ACCESS_DENIED;
}

} // namespace corv::win32
