#pragma once
// The keyboard's global state, so that F2 and F4 act while another program has the focus:
// told of each key going down or up where the system can say so, else read by a poll.
#include <Qt>
#include <functional>

class KeyState {
  public:
    virtual ~KeyState();
    // Reads the keyboard once; isDown answers from that reading until the next.
    virtual void refresh() {}
    // Function keys, and Qt::Key_Alt, Key_Control, Key_Shift for either key of the pair.
    virtual bool isDown(Qt::Key key) = 0;
    // Calls changed after each press (a held key's repeats too) and release, anywhere on the
    // screen; isDown then answers without refresh. False where the keyboard cannot be watched:
    // the caller polls. An empty function stops the watch.
    virtual bool watch(std::function<void()> changed) {
        (void)changed;
        return false;
    }
};

// X11: raw key events of the whole screen through XInput 2 (no grab, nothing taken from
// other programs), the key codes looked up again when the keyboard mapping changes; without
// XInput 2 the server's key map, read on each refresh. Elsewhere: the keys this program's own
// windows have seen pressed.
class SystemKeyState : public KeyState {
  public:
    SystemKeyState();
    ~SystemKeyState() override;
    void refresh() override;
    bool isDown(Qt::Key key) override;
    bool watch(std::function<void()> changed) override;

  private:
    struct Impl;
    Impl *d;
};
