#pragma once
#include <string>

namespace platform {

// Takes the machine-wide name for this process's lifetime. False when another live process holds
// it. The name is an abstract socket address, so a crashed holder never blocks the next start.
bool AcquireInstanceName(const std::string& name);

}  // namespace platform
