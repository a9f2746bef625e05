#pragma once

namespace kw {

// The Windows error code of the same meaning as an errno value. A value
// with no such code never comes out as one of the codes that have a text of
// their own (2, 3, 4, 5, 100, 101, 106).
int WindowsErrorFromErrno(int error);

} // namespace kw
