#pragma once

namespace pl {

// The system's attention sound. The code names the kind of message (16 error, 32 question,
// 48 warning, 64 information, 128 plain); the desktop has one bell for all of them.
class Beeper {
public:
    virtual ~Beeper() = default;
    virtual void beep(int code) = 0;
};

Beeper &beeper();
void setBeeper(Beeper *b); // nullptr restores the production backend

} // namespace pl
