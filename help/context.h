// help/context.h - help context numbers the program asks for.
// The tray menu's Help item asks for 0x20000 plus the number of the main
// window's dialog template (102). The help compiler reads only plain
// "#define NAME NUMBER" lines here: no comment may follow a number.
#define IDH_MAIN_WINDOW 0x20066
