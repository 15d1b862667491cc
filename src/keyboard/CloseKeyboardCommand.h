// src/keyboard/CloseKeyboardCommand.h - closes the keyboard and with it the program.
#pragma once

#include "keyboard/Command.h"

namespace keywhirl {
class Keyboard;
}

namespace keywhirl::commands {

class CloseKeyboardCommand : public Command {
public:
    explicit CloseKeyboardCommand(Keyboard* keyboard) : keyboard(keyboard) {}
    void execute() override;

private:
    Keyboard* keyboard;
};

} // namespace keywhirl::commands
