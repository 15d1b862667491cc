// src/keyboard/Command.h - an action a button or menu can carry out.
#pragma once

namespace keywhirl::commands {

class Command {
public:
    virtual ~Command() = default;
    virtual void execute() = 0;
};

} // namespace keywhirl::commands
