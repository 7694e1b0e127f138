// An event of a control: at most one handler, called synchronously. Handlers
// take their parameters by reference where they may change them; the control
// then goes on with the changed values.
#pragma once

#include <functional>
#include <utility>

namespace ponderix::platform {

template <typename... Args>
class Event {
public:
    using Handler = std::function<void(Args...)>;

    void Connect(Handler handler) { m_Handler = std::move(handler); }
    bool IsConnected() const { return static_cast<bool>(m_Handler); }

    // Runs the handler, if any, to its end; an error it raises passes through.
    void Raise(Args... args) const {
        if (m_Handler) {
            m_Handler(std::forward<Args>(args)...);
        }
    }

private:
    Handler m_Handler;
};

}  // namespace ponderix::platform
