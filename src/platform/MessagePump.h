#pragma once
// One pass over the user-interface thread's pending window messages (the reading loop and the
// port driver let other handlers run in the middle of their work).
namespace corv {

class MessagePump {
  public:
    virtual ~MessagePump() = default;
    virtual void ProcessPendingMessages() = 0;
};

} // namespace corv
