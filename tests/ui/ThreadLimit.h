// Makes the process run out of threads on demand: while on, every new thread fails
// to start with EAGAIN, as when the system's limit is reached.
#pragma once

namespace testing_support {
void SetThreadCreationFails(bool fails);
}
