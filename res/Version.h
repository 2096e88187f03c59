/* The program's version and the names its version resource shows: the one
   place they are written. Read by the resource compiler (res/Program.rc),
   by C++ (the About window), and by the installer script, which takes
   SHADOWPANE_VERSION_TEXT from this file. Plain preprocessor lines only, so
   every one of them can read it. */
#ifndef SHADOWPANE_RES_VERSION_H
#define SHADOWPANE_RES_VERSION_H

#define SHADOWPANE_VERSION_MAJOR 2
#define SHADOWPANE_VERSION_MINOR 0
#define SHADOWPANE_VERSION_PATCH 0
#define SHADOWPANE_VERSION_BUILD 1
/* The same four numbers as text; C++ checks that they agree. */
#define SHADOWPANE_VERSION_TEXT "2.0.0.1"

#define SHADOWPANE_PRODUCT_NAME "Shadowpane"
#define SHADOWPANE_COMPANY_NAME "KESTRALYNX"
#define SHADOWPANE_FILE_DESCRIPTION "Shadowpane - keeps cameras and microphones private"
#define SHADOWPANE_EXE_NAME "Shadowpane.exe"
#define SHADOWPANE_COPYRIGHT "Copyright (C) 2026 KESTRALYNX"

#endif
