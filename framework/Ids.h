// Command and window ids the framework itself knows. Plain defines, so
// resource scripts can include this file too.
#pragma once

#ifndef ID_SEPARATOR
#define ID_SEPARATOR            0
#endif
#ifndef ID_FILE_NEW
#define ID_FILE_NEW             0xE100
#endif
#ifndef ID_FILE_OPEN
#define ID_FILE_OPEN            0xE101
#endif
#ifndef ID_FILE_PRINT_SETUP
#define ID_FILE_PRINT_SETUP     0xE106
#endif
#ifndef ID_APP_ABOUT
#define ID_APP_ABOUT            0xE140
#endif
#ifndef ID_APP_EXIT
#define ID_APP_EXIT             0xE141
#endif
#ifndef ID_INDICATOR_CAPS
#define ID_INDICATOR_CAPS       0xE701
#endif
#ifndef ID_INDICATOR_NUM
#define ID_INDICATOR_NUM        0xE702
#endif
#ifndef ID_INDICATOR_SCRL
#define ID_INDICATOR_SCRL       0xE703
#endif

// Child window ids inside a frame.
#ifndef AFX_IDW_CONTROLBAR_FIRST
#define AFX_IDW_CONTROLBAR_FIRST 0xE800
#endif
#ifndef AFX_IDW_CONTROLBAR_LAST
#define AFX_IDW_CONTROLBAR_LAST 0xE8FF
#endif
#ifndef AFX_IDW_TOOLBAR
#define AFX_IDW_TOOLBAR         0xE800
#endif
#ifndef AFX_IDW_STATUS_BAR
#define AFX_IDW_STATUS_BAR      0xE801
#endif
#ifndef AFX_IDW_REBAR
#define AFX_IDW_REBAR           0xE804
#endif
#ifndef AFX_IDW_PANE_FIRST
#define AFX_IDW_PANE_FIRST      0xE900
#endif
#ifndef AFX_IDW_PANE_LAST
#define AFX_IDW_PANE_LAST       0xE9FF
#endif

// Messages of the data exchange; a program's string table holds their texts.
#ifndef AFX_IDP_PARSE_INT
#define AFX_IDP_PARSE_INT           0xF110  // "Enter an integer."
#endif
#ifndef AFX_IDP_PARSE_INT_RANGE
#define AFX_IDP_PARSE_INT_RANGE     0xF112  // "Enter an integer between %1 and %2."
#endif
#ifndef AFX_IDP_PARSE_STRING_SIZE
#define AFX_IDP_PARSE_STRING_SIZE   0xF113  // "Enter no more than %1 characters."
#endif
#ifndef AFX_IDP_PARSE_UINT
#define AFX_IDP_PARSE_UINT          0xF117  // "Enter a positive integer."
#endif
