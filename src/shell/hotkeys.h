#pragma once
// The key poll's reading of F2 (boss key) and F4 (lock). A key counts while it is held
// and Alt, Ctrl and Shift are up; a press that began with one of them held (Alt+F4
// closing another program) never counts, even after the modifier is let go first.

class HotKeyPoll {
  public:
    enum Command { None, BossKey, Lock };
    Command poll(bool f2Down, bool f4Down, bool modifierDown);

  private:
    struct Key {
        bool down = false;
        bool spoilt = false;
        bool counts(bool isDown, bool modifierDown);
    };
    Key f2_, f4_;
};
