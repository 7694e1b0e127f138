// The one error type of the window-system layer: a window operation that failed
// (a control that does not exist, a value it refuses, a picture that cannot be
// read, a settings store that cannot be written). It ends the handler that made
// the call, as any error does; what was done before it stays done.
#pragma once

#include <stdexcept>

namespace ponderix::platform {

class PlatformError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace ponderix::platform
