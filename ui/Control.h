#pragma once
// The control layer: portable objects that hold a control's state and fire its handlers. A
// backend may attach a peer (a real window) to each control; without one the controls work
// headless, which is how the tests drive them.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ui {

class Form;

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && width == o.width && height == o.height;
    }
};

struct Font {
    std::string name = "MS Sans Serif";
    int height = 11;  // in pixels
    bool underline = false;
    bool operator==(const Font& o) const {
        return name == o.name && height == o.height && underline == o.underline;
    }
};

enum class Kind {
    Form,
    Label,
    Button,
    CheckBox,
    ComboBox,
    ListBox,
    Edit,
    GroupBox,
    SpeedButton,
    Image
};

// What changed, so that a peer updates only that.
enum class Aspect {
    Caption,
    Hint,
    Place,
    Visible,
    Enabled,
    Font,
    Check,
    Items,
    ItemIndex,
    Text,
    Menu,
    Timers
};

// The real window behind a control.
class Peer {
public:
    virtual ~Peer() = default;
    virtual void Update(Aspect aspect) = 0;
    // What the user typed into an edit field or picked in a list, read when the logic asks.
    // Nothing while there is no window to read: then what the program stored stands.
    virtual std::optional<std::string> ReadText() { return std::nullopt; }
    virtual std::optional<int> ReadItemIndex() { return std::nullopt; }
    // The control is being destroyed: the peer lets go of it and of its window.
    virtual void ControlDestroyed() {}
};

class Control {
public:
    Control(Control* parent, Kind kind, std::string name);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    Kind GetKind() const { return kind_; }
    const std::string& Name() const { return name_; }
    Control* Parent() const { return parent_; }
    const std::vector<Control*>& Children() const { return children_; }
    Form* OwnerForm();

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    const Rect& Place() const { return place_; }
    void SetPlace(const Rect& place);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // A control without a font of its own uses its parent's.
    const Font& GetFont() const;
    void SetFont(const Font& font);

    // Visible itself and inside visible parents.
    bool Showing() const;
    // Visible itself and inside visible groups: shows whenever its form does.
    bool ShowingInForm() const;
    // The place in the client area of the form, whatever groups the control sits in.
    Rect PlaceInForm() const;

    void AttachPeer(Peer* peer) { peer_ = peer; }
    Peer* GetPeer() const { return peer_; }

protected:
    void Changed(Aspect aspect);
    // Runs a handler inside the form's error boundary.
    void Fire(const std::function<void()>& handler);

private:
    Control* parent_;
    Kind kind_;
    std::string name_;
    std::vector<Control*> children_;
    std::string caption_;
    std::string hint_;
    Rect place_;
    bool visible_ = true;
    bool enabled_ = true;
    std::unique_ptr<Font> font_;
    Peer* peer_ = nullptr;
};

}  // namespace ui
