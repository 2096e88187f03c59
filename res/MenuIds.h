/* Popup-menu template and command ids. Shared by the resource script and
   the code, so these stay preprocessor definitions. */
#pragma once

/* One template per language; there is no 4609. */
#define IDR_MENU_ENGLISH 4608
#define IDR_MENU_GERMAN 4610
#define IDR_MENU_SPANISH 4611
#define IDR_MENU_ITALIAN 4612

/* Commands of the popup menu. */
#define IDM_SETTINGS 4864
#define IDM_WEBSITE 4865
#define IDM_CONTACT_US 4866
#define IDM_FEEDBACK 4867
#define IDM_FACEBOOK 4868
#define IDM_TWITTER 4869
#define IDM_GOOGLEPLUS 4870
#define IDM_HELP 4871
#define IDM_ABOUT 4872
#define IDM_SHORTCUTS 4873
#define IDM_RECENT_USE 4874
