#pragma once
// The keyboard's global state, read by the frame's 10 ms key poll, so F2 and F4 act
// while another program has the focus.
#include <Qt>

class KeyState {
  public:
    virtual ~KeyState();
    // Reads the keyboard once; isDown answers from that reading until the next.
    virtual void refresh() {}
    // Function keys, and Qt::Key_Alt, Key_Control, Key_Shift for either key of the pair.
    virtual bool isDown(Qt::Key key) = 0;
};

// X11: the server's key map (no key grab, nothing taken from other programs).
// Elsewhere: the keys this program's own windows have seen pressed.
class SystemKeyState : public KeyState {
  public:
    SystemKeyState();
    ~SystemKeyState() override;
    void refresh() override;
    bool isDown(Qt::Key key) override;

  private:
    struct Impl;
    Impl *d;
};
