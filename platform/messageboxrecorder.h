#pragma once

#include <QString>

#include <vector>

#include "platform/messagebox.h"

// For tests: while it lives, every message box is recorded instead of shown, and answered with
// `answer` (or, when answer is 0, with the box's default button). Restores the interceptor that
// was installed before when destroyed. Use on the user-interface thread.
class MessageBoxRecorder {
  public:
    explicit MessageBoxRecorder(int answer = 0);
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    // Every box asked for since construction (or clear()), oldest first.
    const std::vector<MessageBoxCall>& calls() const { return calls_; }
    void clear() { calls_.clear(); }
    // Changes the answer given to the following boxes.
    void setAnswer(int answer) { answer_ = answer; }

  private:
    std::vector<MessageBoxCall> calls_;
    int answer_;
    MessageBoxInterceptor previous_;
};
