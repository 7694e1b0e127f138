// The timers of every backend: a control of a window's layout, or a child of
// a user control's design, that ticks on the user-interface thread while it is
// enabled. The backend supplies only the native timer beneath.
#pragma once

#include <memory>

#include "platform/Controls.h"
#include "platform/core/CoreControls.h"

namespace ponderix::platform::core {

// A timer as a backend runs it: ticks of the given interval until stopped. It
// may tick late, never early; Start while running starts the interval anew.
class NativeTimer {
public:
    virtual ~NativeTimer() = default;
    virtual void Start(int milliseconds) = 0;
    virtual void Stop() = 0;
};

// The timers of every backend: enabled and interval as the program set them;
// ticks no faster than MinimumInterval; a tick whose handler is still running
// (it may process messages) raises no second one; stopped with its window.
class Timer final : public ITimer, public ControlBase {
public:
    explicit Timer(const ControlArgs& args);
    ~Timer() override;

    bool Enabled() const override;
    void SetEnabled(bool enabled) override;
    int Interval() const override;
    void SetInterval(int milliseconds) override;

    // The window is unloaded: no more ticks.
    void Stop();
    // A tick of the native timer.
    void Elapsed();

private:
    void Apply();

    std::unique_ptr<NativeTimer> m_Native;
    bool m_Enabled;
    int m_Interval;
    bool m_Ticking = false;
    std::shared_ptr<bool> m_Alive = std::make_shared<bool>(true);
};

}  // namespace ponderix::platform::core
