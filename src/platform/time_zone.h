// The local time zone, read once per process.
#pragma once

#include <cstdlib>

namespace tesmora {

// While TZ is unset, the C library looks at /etc/localtime again on every
// local-time conversion (a file system call each time, which makes the
// JavaScript date functions several times slower than any other call).
// Naming that same file in TZ reads it once. Call first thing in main(),
// before any thread starts; a TZ the user has set is left as it is.
inline void readLocalTimeZoneOnce()
{
    setenv("TZ", ":/etc/localtime", 0);
}

} // namespace tesmora
