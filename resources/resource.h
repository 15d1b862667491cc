// resources/resource.h - ids of the program's resources and of their controls.
// Included by the resource script and by the code (plain #defines, so that
// windres reads it too).
#pragma once

// Dialog templates
#define IDD_KEYWHIRL_DIALOG 102   // the hidden main window
#define IDD_KEYBOARD_DIALOG 129   // the on-screen keyboard
#define IDD_ABOUT_DIALOG 132      // the about box
#define IDD_SETTINGS_DIALOG 133   // the settings dialog
#define IDD_STATISTICS_DIALOG 148 // the statistics window
#define IDD_HISTORY_DIALOG 170    // the typing history window

// Icon (16, 32 and 48 pixel images) and menu
#define IDI_KEYWHIRL 128
#define IDR_TRAY_MENU 131

// Button pictures, 11 x 11: a small cross (the keyboard's minimize button and
// the statistics window's close button) and a bar along the bottom edge (the
// keyboard's hidden close button)
#define IDB_CROSS_PRESSED 136
#define IDB_CROSS_OVER 137
#define IDB_CROSS_NORMAL 138
#define IDB_BAR_PRESSED 139
#define IDB_BAR_OVER 140
#define IDB_BAR_NORMAL 141

// Pictures of the about box (450 x 435) and the settings banner
#define IDB_ABOUT 142
#define IDB_SETTINGS_BANNER 143

// Menu item pictures, 13 x 13
#define IDB_MENU_SETTINGS 144
#define IDB_MENU_ABOUT 145
#define IDB_MENU_CHECK 146
#define IDB_MENU_EXIT 147
#define IDB_MENU_HELP 153

// Splash picture, 650 x 635
#define IDB_SPLASH 154

// Keyboard window (IDD_KEYBOARD_DIALOG)
#define IDC_KEYBOARD_MINIMIZE 1006
#define IDC_KEYBOARD_CLOSE 1007

// About box (IDD_ABOUT_DIALOG)
#define IDC_ABOUT_LINK 1000
#define IDC_ABOUT_VERSION 1005
#define IDC_ABOUT_VERSION_LABEL 1007
#define IDC_ABOUT_PROGRAMMER_LABEL 1008
#define IDC_ABOUT_PROGRAMMER 1009
#define IDC_ABOUT_IDEA_LABEL 1010
#define IDC_ABOUT_IDEA 1011
#define IDC_ABOUT_DESIGNER_LABEL 1012
#define IDC_ABOUT_DESIGNER 1013
#define IDC_ABOUT_WEBPAGE_LABEL 1014

// Settings dialog (IDD_SETTINGS_DIALOG); OK and Cancel are IDOK and IDCANCEL
#define IDC_SETTINGS_WAIT_INTERVAL 1002
#define IDC_SETTINGS_METRONOME_FREQUENCY 1003
#define IDC_SETTINGS_KEYBOARD_OPACITY 1004
#define IDC_SETTINGS_STATISTICS_OPACITY 1005
#define IDC_SETTINGS_OPAQUE_ON_HOVER 1015
#define IDC_SETTINGS_WAIT_INTERVAL_LABEL 1016
#define IDC_SETTINGS_METRONOME_FREQUENCY_LABEL 1017
#define IDC_SETTINGS_KEYBOARD_OPACITY_LABEL 1018
#define IDC_SETTINGS_STATISTICS_OPACITY_LABEL 1019
#define IDC_SETTINGS_LANGUAGE_LABEL 1020
#define IDC_SETTINGS_LANGUAGE 1021
#define IDC_SETTINGS_SPEED_UNIT_LABEL 1022
#define IDC_SETTINGS_SPEED_UNIT 1023
#define IDC_SETTINGS_IGNORED_LABEL 1024
#define IDC_SETTINGS_IGNORED_LIST 1025
#define IDC_SETTINGS_IGNORED_REMOVE 1026
#define IDC_SETTINGS_FOLLOWS_TYPING 1027

// Statistics window (IDD_STATISTICS_DIALOG)
#define IDC_STATISTICS_CLOSE 1030

// Typing history window (IDD_HISTORY_DIALOG)
#define IDC_HISTORY_OPEN_FOLDER 1100
#define IDC_HISTORY_FIGURES 1101

// Tray menu commands (IDR_TRAY_MENU)
#define ID_TRAY_EXIT 32772
#define ID_TRAY_AUTOPOPUP 32774
#define ID_TRAY_ABOUT 32776
#define ID_TRAY_METRONOME 32778
#define ID_TRAY_SETTINGS 32780
#define ID_TRAY_KEYPRESS_SOUND 32782
#define ID_TRAY_SHOW_STATISTICS 32784
#define ID_TRAY_AUTORUN 32786
#define ID_TRAY_HELP 32789
#define ID_TRAY_WEAK_KEYS 32790
#define ID_TRAY_RESET_WEAK_KEYS 32791
#define ID_TRAY_HISTORY 32800
#define ID_TRAY_IGNORE_PROGRAM 32801
#define ID_TRAY_PAUSE 32802
