// src/keyboard/KeyboardCommands.cpp - the keyboard's two commands.
#include "keyboard/CloseKeyboardCommand.h"
#include "keyboard/MinimizeKeyboardCommand.h"

#include "keyboard/Keyboard.h"

namespace keywhirl::commands {

void MinimizeKeyboardCommand::execute() {
    if (keyboard)
        keyboard->hideWindow();
}

void CloseKeyboardCommand::execute() {
    if (keyboard)
        keyboard->closeWindow();
}

} // namespace keywhirl::commands
