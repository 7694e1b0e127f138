#include "platform/core/CoreTimer.h"

#include <algorithm>
#include <string>

#include "platform/Error.h"
#include "platform/core/CoreWindow.h"
#include "platform/core/WindowSystemBase.h"

namespace ponderix::platform::core {

Timer::Timer(const ControlArgs& args)
    : ControlBase(args),
      m_Native(args.Window.System().MakeTimer([this] { Elapsed(); })),
      m_Enabled(args.Row.Enabled),
      m_Interval(args.Row.IntervalMs) {
    Apply();
}

Timer::~Timer() {
    *m_Alive = false;
    m_Native->Stop();
}

bool Timer::Enabled() const {
    CheckLoaded();
    return m_Enabled;
}

void Timer::SetEnabled(bool enabled) {
    Check("Timer.SetEnabled");
    if (enabled != m_Enabled) {
        m_Enabled = enabled;
        Apply();
    }
}

int Timer::Interval() const {
    CheckLoaded();
    return m_Interval;
}

void Timer::SetInterval(int milliseconds) {
    Check("Timer.SetInterval");
    if (milliseconds < 0) {
        throw PlatformError("timer interval " + std::to_string(milliseconds) + " is negative");
    }
    m_Interval = milliseconds;
    Apply();
}

void Timer::Apply() {
    if (m_Enabled && m_Interval > 0) {
        m_Native->Start(std::max(m_Interval, MinimumTimerInterval));
    } else {
        m_Native->Stop();
    }
}

void Timer::Stop() {
    m_Enabled = false;
    m_Native->Stop();
}

void Timer::Elapsed() {
    if (m_Ticking || !m_Enabled || !m_Window.IsLoaded()) {
        return;
    }
    // The handler may destroy the timer with its window: only a timer that is
    // still there is told its tick is over.
    const std::shared_ptr<bool> alive = m_Alive;
    m_Ticking = true;
    try {
        Tick.Raise();
    } catch (...) {
        if (*alive) {
            m_Ticking = false;
        }
        throw;
    }
    if (*alive) {
        m_Ticking = false;
    }
}

}  // namespace ponderix::platform::core
