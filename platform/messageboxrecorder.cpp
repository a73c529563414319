#include "platform/messageboxrecorder.h"

MessageBoxRecorder::MessageBoxRecorder(int answer) : answer_(answer) {
    previous_ = SetMessageBoxInterceptor([this](const MessageBoxCall& call) {
        calls_.push_back(call);
        return answer_ != 0 ? answer_ : DefaultMessageBoxAnswer(call.flags);
    });
}

MessageBoxRecorder::~MessageBoxRecorder() {
    SetMessageBoxInterceptor(std::move(previous_));
}
