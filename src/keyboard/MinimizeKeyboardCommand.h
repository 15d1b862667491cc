// src/keyboard/MinimizeKeyboardCommand.h - hides the keyboard to the tray.
#pragma once

#include "keyboard/Command.h"

namespace keywhirl {
class Keyboard;
}

namespace keywhirl::commands {

class MinimizeKeyboardCommand : public Command {
public:
    explicit MinimizeKeyboardCommand(Keyboard* keyboard) : keyboard(keyboard) {}
    void execute() override;

private:
    Keyboard* keyboard;
};

} // namespace keywhirl::commands
