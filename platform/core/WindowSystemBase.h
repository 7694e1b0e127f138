// What every window system shares: the user control classes it knows, the
// program's pictures decoded once, the windows it made (for owners and for the
// end of the message loop), and CreateWindow, which checks a layout before a
// backend builds anything of it. A backend derives from it and supplies its
// windows, its timers and the services of IWindowSystem that need the desktop.
#pragma once

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/WindowSystem.h"
#include "platform/core/PictureCache.h"
#include "platform/core/UserControlRegistry.h"

namespace ponderix::platform::core {

class Window;
class NativeTimer;

class WindowSystemBase : public IWindowSystem {
public:
    ~WindowSystemBase() override;
    WindowSystemBase(const WindowSystemBase&) = delete;
    WindowSystemBase& operator=(const WindowSystemBase&) = delete;

    void RegisterUserControl(UserControlClass userControlClass) final;
    std::unique_ptr<IWindow> CreateWindow(const WindowSpec& layout) final;
    Picture LoadPicture(AssetName asset) override;

    const UserControlRegistry& UserControlClasses() const { return m_Classes; }
    // Every window object alive, loaded or not, oldest first.
    const std::vector<Window*>& Windows() const { return m_Windows; }
    bool AnyWindowLoaded() const;
    bool IsAlive(const Window* window) const;

    // A native timer that calls `elapsed` at each tick.
    virtual std::unique_ptr<NativeTimer> MakeTimer(std::function<void()> elapsed) = 0;
    // Called before each operation that changes a control or a window (and may
    // refuse it by throwing PlatformError); the fake uses it to make
    // operations fail on request.
    virtual void CheckOperation(std::string_view /*operation*/, std::string_view /*key*/) {}

protected:
    explicit WindowSystemBase(PictureCache::Decoder decoder);

    // The backend's window for the layout, built (its constructor ends in Build).
    virtual std::unique_ptr<Window> MakeWindow(const WindowSpec& layout) = 0;
    // The last loaded window was unloaded: the message loop ends.
    virtual void LastWindowUnloaded() {}

private:
    friend class Window;
    void Add(Window* window) { m_Windows.push_back(window); }
    void Remove(Window* window);
    void WindowUnloaded();

    UserControlRegistry m_Classes;
    PictureCache m_Pictures;
    std::vector<Window*> m_Windows;
};

}  // namespace ponderix::platform::core
