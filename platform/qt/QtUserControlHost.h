// A user control placed on a Qt window: a surface widget of its own, the
// control's design children, and the instance that gets the surface's
// notifications.
//
// Implements:
// - [x] IUserControlHost: Instance; Bounds and Move in pixels (a new size resizes
//       the surface and raises Resize when it changed); Visible, Enabled,
//       BringToFront
// - [x] IUserControlSite: Clear and DrawPicture on a backing image that the
//       surface repaints from, so the last face drawn stays when the window is
//       covered, uncovered or repainted; Width and Height in twips, SetWidth and
//       SetHeight raising Resize from within the call when the size changed;
//       Handle (the surface widget's address); Timer and PictureBox children;
//       PropertyChanged recorded (nothing saves layouts here)
// - [x] notifications: ReadProperties, then Resize once, after the whole window
//       is built; MouseDown, MouseMove (with the buttons held, also outside the
//       surface while a button holds it), MouseUp, Click after a left press and
//       release inside, DblClick, in the order down, up, click, dblclick, up
#pragma once

#include <QImage>
#include <QPointer>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/UserControlChildren.h"
#include "platform/WindowSystem.h"
#include "platform/qt/QtControls.h"

class QWidget;

namespace ponderix::platform::qt {

class QtWindow;
class SurfaceWidget;

class QtUserControlHost final : public IUserControlHost, public IUserControlSite, public QtControl {
public:
    QtUserControlHost(QtWindow& window, const ControlSpec& row, std::string key,
                      const UserControlClass& userControlClass, QWidget* container);
    ~QtUserControlHost() override;
    QtUserControlHost(const QtUserControlHost&) = delete;
    QtUserControlHost& operator=(const QtUserControlHost&) = delete;

    // Reads the instance's saved properties, then gives it the layout's size.
    void Load();

    // IUserControlHost
    IUserControl& Instance() override { return *m_Instance; }
    PixelRect Bounds() const override;
    void Move(float left, float top, std::optional<float> width = std::nullopt,
              std::optional<float> height = std::nullopt) override;
    bool Visible() const override;
    void SetVisible(bool visible) override;
    bool Enabled() const override;
    void SetEnabled(bool enabled) override;
    void BringToFront() override;

    // IUserControlSite
    IWindowSystem& System() override;
    void Clear() override;
    void DrawPicture(const Picture& picture) override;
    float Width() const override;
    float Height() const override;
    void SetWidth(float twips) override;
    void SetHeight(float twips) override;
    WindowHandle Handle() const override;
    void PropertyChanged(std::string_view key) override;
    ITimer& Timer(std::string_view name) override;
    IPictureBox& PictureBox(std::string_view name) override;

    // QtControl
    QWidget* Widget() const override;
    void Detach() override;

    // The keys the instance marked as changed, in order.
    const std::vector<std::string>& ChangedProperties() const { return m_ChangedProperties; }

private:
    SurfaceWidget* Surface() const;  // throws once the window is unloaded
    void ResizeTo(float widthTwips, float heightTwips);
    void Place();

    QtWindow& m_Window;
    const ControlSpec& m_Row;
    std::string m_Key;
    QPointer<SurfaceWidget> m_Surface;
    float m_Left;
    float m_Top;
    float m_Width;  // twips
    float m_Height;
    UserControlChildren m_Children;
    std::unique_ptr<IUserControl> m_Instance;
    std::vector<std::string> m_ChangedProperties;
};

}  // namespace ponderix::platform::qt
