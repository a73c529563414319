#pragma once
// Shows the wait cursor while a device job blocks the user-interface thread and restores the
// previous one when the job ends. Does nothing off the user-interface thread (the save worker)
// or without a graphical application.

class WaitCursor {
  public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

  private:
    bool shown_ = false;
};
