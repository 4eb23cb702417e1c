#pragma once

// The root of everything a scene shows or hit-tests: a named rectangle with visibility, opacity, zoom and position.
// Objects never draw on their own; a layer or a gallery asks them to.
//
// Whoever changes a property through the public operations also triggers the matching notification, so derived
// objects that carry sub-objects (a text box and its lines) can move them along.

#include "core/DisplaySettings.h"

#include <string>
#include <utility>

namespace Vel {

class BaseObject
{
public:
    BaseObject() = default;
    virtual ~BaseObject() = default;
    BaseObject(const BaseObject&) = delete;
    BaseObject& operator=(const BaseObject&) = delete;

    // Natural size in pixels, used when the hit size is unset (kUnset). Not const: a picture may load to answer.
    [[nodiscard]] virtual float GetWidth() { return 0.0f; }
    [[nodiscard]] virtual float GetHeight() { return 0.0f; }

    // Called right after the field was written.
    virtual void OnShow() {}
    virtual void OnHide() {}
    virtual void OnOpacityChanged() {}
    virtual void OnZoomChanged() {}
    virtual void OnPositionChanged() {}

    // Each writes the field, then calls the matching notification.
    void Show();
    void Hide();
    void SetOpacity(float opacity);
    void SetZoom(float zoom);
    void MoveTo(float x, float y);

    // kUnset in either means: use GetWidth / GetHeight.
    void SetHitSize(float width, float height);
    void SetName(std::u16string name) { m_name = std::move(name); }

    [[nodiscard]] bool IsVisible() const { return m_visible; }
    [[nodiscard]] float GetOpacity() const { return m_opacity; }
    [[nodiscard]] float GetZoom() const { return m_zoom; }
    [[nodiscard]] float GetX() const { return m_x; }
    [[nodiscard]] float GetY() const { return m_y; }
    [[nodiscard]] float GetHitWidth() const { return m_width; }
    [[nodiscard]] float GetHitHeight() const { return m_height; }
    [[nodiscard]] const std::u16string& GetName() const { return m_name; }

protected:
    bool m_visible = true;
    float m_opacity = 1.0f; // 0 transparent .. 1 opaque
    float m_zoom = 1.0f;    // about the top-left corner
    float m_x = 0.0f;
    float m_y = 0.0f;
    float m_width = kUnset;
    float m_height = kUnset;
    std::u16string m_name;
};

} // namespace Vel
