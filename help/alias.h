// help/alias.h - the page that each help context number opens.
IDH_MAIN_WINDOW=html/index.html
