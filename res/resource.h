// Resource and command ids of Lumivell-Velquor.
// Included by the resource script (windres) and by the C++ code.
#pragma once
#include "framework/Ids.h"   // the framework's own command and window ids

// ---------------------------------------------------------------------------
// Framework-standard ids. The framework may define the same names with the
// same values; the guards keep both definitions from clashing.
#ifndef AFX_IDS_APP_TITLE
#define AFX_IDS_APP_TITLE           0xE000
#endif
#ifndef AFX_IDS_IDLEMESSAGE
#define AFX_IDS_IDLEMESSAGE         0xE001
#endif
// Data-exchange validation messages (AFX_IDP_PARSE_*) come from framework/Ids.h.
#ifndef IDC_STATIC
#define IDC_STATIC                  (-1)
#endif

// ---------------------------------------------------------------------------
// Icons, menus, accelerators, document template
#define IDR_MAINFRAME               128     // program icon
#define IDR_VIEW_CONTEXT            130     // article view's context menu
#define IDR_DOC_TEMPLATE            147     // frame menu, accelerators, document string, document icon

// Strings
#define IDP_OLE_INIT_FAILED         100

// Toolbar icons (image order 0..15 of the toolbar)
#define IDI_TB_NEW_FOLDER           234
#define IDI_TB_NEW_ARTICLE          232
#define IDI_TB_CODE                 198
#define IDI_TB_SAVE                 235
#define IDI_TB_MARK                 279
#define IDI_TB_COLORS               205
#define IDI_TB_VERTICAL_BARS        236
#define IDI_TB_HORIZONTAL_LINES     238     // also the rows of the book-pack list
#define IDI_TB_NEXT_BACKGROUND      201
#define IDI_TB_PREV_BACKGROUND      200
#define IDI_TB_FULL_SCREEN          207
#define IDI_TB_PREV_PAGE            220
#define IDI_TB_NEXT_PAGE            222
#define IDI_TB_SETTINGS             216
#define IDI_TB_PACKS                230     // also the picture of the book-pack dialog
#define IDI_TB_EXIT                 204

// Bitmaps
#define IDB_REBAR_BACKGROUND        189
#define IDB_FOLDER_CLOSED           239     // 11 x 11, transparent colour 0x550055
#define IDB_FOLDER_OPEN             240
#define IDB_SPLIT_DOWN              242     // 100 x 8: normal | hover
#define IDB_SPLIT_UP                243     // 100 x 8
#define IDB_SPLIT_LEFT              244     // 16 x 50
#define IDB_SPLIT_RIGHT             246     // 16 x 50
#define IDB_BUTTON_NORMAL           250     // 73 x 19 button faces
#define IDB_BUTTON_DISABLED         251
#define IDB_BUTTON_PRESSED          252
#define IDB_BUTTON_FOCUSED          253
#define IDB_BUTTON_HOVER            254

// Mark textures (pattern brushes) of the annotation styles 1..20
#define IDB_MARK_STYLE7             257
#define IDB_MARK_STYLE6             258
#define IDB_MARK_STYLE5             260
#define IDB_MARK_STYLE4             261
#define IDB_MARK_STYLE3             262
#define IDB_MARK_STYLE2             263
#define IDB_MARK_STYLE1             264
#define IDB_MARK_STYLE8             265
#define IDB_MARK_STYLE9             266
#define IDB_MARK_STYLE10            267
#define IDB_MARK_STYLE11            268
#define IDB_MARK_STYLE12            269
#define IDB_MARK_STYLE13            270
#define IDB_MARK_STYLE14            271
#define IDB_MARK_STYLE15            272
#define IDB_MARK_STYLE16            273
#define IDB_MARK_STYLE17            274
#define IDB_MARK_STYLE18            275
#define IDB_MARK_STYLE19            276
#define IDB_MARK_STYLE20            277
#define IDB_MARK_STYLE_OTHER        278

// ---------------------------------------------------------------------------
// Dialog templates
#define IDD_ABOUTBOX                100     // CAboutDlg "关于 Import"
#define IDD_PACKS                   102     // CCWebUpdatePrjDlg "zize"
#define IDD_BLOCK_SIZE              134     // CSizeDlg "字体设置"
#define IDD_PRESET                  136     // CSetPreDlg "预设置"
#define IDD_COLOR_SETTINGS          168     // CCodeCorlorDlg "颜色设置"
#define IDD_ADD_CODE                171     // CAddCodeDlg "代码"
#define IDD_SCHEME_NAME             172     // CCodeCorlorNameDlg "配色方案命名"
#define IDD_IMPORT_NOVEL            182     // XiaoshuoDlg "导入小说"

// About box (100)
#define IDC_ABOUT_VERSION           1000

// Book-pack dialog (102)
#define IDC_PACK_LIST               1000
#define IDC_PACK_DOWNLOAD           1001
#define IDC_PACK_CHECK              1002
#define IDC_PACK_PROGRESS_TEXT      1003
#define IDC_PACK_PROGRESS           1004

// TXT import dialog (182)
#define IDC_NOVEL_PREFIX            1001
#define IDC_NOVEL_PATH              1004
#define IDC_NOVEL_SUFFIX            1005
#define IDC_NOVEL_SOURCE            1046
#define IDC_NOVEL_IMPORT            1049
#define IDC_NOVEL_NUMBER            1055

// Colour and decoration dialog (168)
#define IDC_COLOR_SEL_MARK_ONLY     1005    // radio group nSelect 0..4
#define IDC_COLOR_SEL_LINES         1006
#define IDC_COLOR_SEL_PARAS         1078
#define IDC_COLOR_SEL_BOTH          1079
#define IDC_COLOR_SEL_TOP_BOTTOM    1088
#define IDC_COLOR_SCHEME            1046
#define IDC_COLOR_RANDOM_CODE       1049
#define IDC_COLOR_SAVE_SCHEME       1050
#define IDC_COLOR_RANDOM            1051
#define IDC_COLOR_CBG               1052
#define IDC_COLOR_BG                1053
#define IDC_COLOR_SLD_VERTICAL      1056
#define IDC_COLOR_SLD_HORIZE        1057
#define IDC_COLOR_ZHUWEN            1058
#define IDC_COLOR_CTEXT             1059
#define IDC_COLOR_CONTROL           1060
#define IDC_COLOR_XIAOKUOHAO        1061
#define IDC_COLOR_DAKUOHAO          1062
#define IDC_COLOR_INT               1063
#define IDC_COLOR_FUN               1064
#define IDC_COLOR_TEXT              1065
#define IDC_COLOR_TRUE              1066
#define IDC_COLOR_VAR               1067
#define IDC_COLOR_YINHAO            1068
#define IDC_COLOR_LEFT              1069
#define IDC_COLOR_DFUN              1070
#define IDC_COLOR_DIGIT             1071
#define IDC_COLOR_CURINXIAO         1072
#define IDC_COLOR_CURINDA           1073
#define IDC_COLOR_SLD_PRAMLEN       1074
#define IDC_COLOR_SLD_PRAMWIDTH     1075
#define IDC_COLOR_LINE_MODE         1076
#define IDC_COLOR_PRAM_MODE         1077
#define IDC_COLOR_VERTICAL_MODE     1080
#define IDC_COLOR_BACKGROUND_SET    1081
#define IDC_COLOR_VERTICAL_SET      1082
#define IDC_COLOR_LINE_SET          1083
#define IDC_COLOR_SLD_VERTICALWIDTH 1084
#define IDC_COLOR_WHOLE_LEFT        1085
#define IDC_COLOR_WHOLE_TOP         1086
#define IDC_COLOR_WHOLE_BOTTOM      1087

// Scheme name dialog (172)
#define IDC_SCHEME_NAME             1004

// Preset dialog (136)
#define IDC_PRESET_LINE_SPACING     1001
#define IDC_PRESET_TITLE_TEXT       1005
#define IDC_PRESET_MARK_RUNS        1006    // radio group bSingle: 0 runs, 1 single characters
#define IDC_PRESET_TEXT_SIZE        1018
#define IDC_PRESET_PARA_SPACING     1030
#define IDC_PRESET_BODY_FONT        1046
#define IDC_PRESET_WIDEN_PAGE       1050
#define IDC_PRESET_COMMENT          1076
#define IDC_PRESET_MARK_SINGLE      1078
#define IDC_PRESET_MARK_STYLE       1081
#define IDC_PRESET_CODE_FONT        1082
#define IDC_PRESET_NARROW_PAGE      1085

// Block insertion dialog (171)
#define IDC_ADDCODE_FONT_SIZE       1001
#define IDC_ADDCODE_TEXT            1004
#define IDC_ADDCODE_TYPE            1046

// Block size dialog (134)
#define IDC_SIZE_TYPE_NAME          1001
#define IDC_SIZE_HEIGHT             1011
#define IDC_SIZE_WIDTH              1012
#define IDC_SIZE_FONT               1046

// ---------------------------------------------------------------------------
// Library tree commands (its context menu is built at run time)
#define ID_TREE_RENAME              1
#define ID_TREE_NEW_ARTICLE         2
#define ID_TREE_NEW_FOLDER          3
#define ID_TREE_DELETE              4
#define ID_TREE_IMPORT_NOVEL        5
#define ID_TREE_SAVE_IMAGE          6

// Frame and view commands
#define ID_FULL_SCREEN              32771
#define ID_FILE_NEW_ARTICLE         32810
#define ID_COPY_SELECTION           32828
#define ID_CUT_SELECTION            32830
#define ID_RECENT_PATH1             32844
#define ID_RECENT_PATH2             32845
#define ID_RECENT_PATH3             32846
#define ID_RECENT_PATH4             32847
#define ID_CLEAR_RECENT             32848
#define ID_KEY_CTRL_DOWN            32911
#define ID_KEY_CTRL_UP              32912
#define ID_KEY_CTRL_LEFT            32913
#define ID_KEY_CTRL_RIGHT           32914
#define ID_SAVE_PAGE                32943
#define ID_OPEN_PATH                32946
#define ID_NEXT_PAGE                32947
#define ID_PREV_PAGE                32948
#define ID_SELECT_ALL               32970
#define ID_INSERT_CODE              32972
#define ID_COLOR_SETTINGS           32973
#define ID_SET_CHUNK_FONT           32974
#define ID_SET_CHUNK_FORMAT         32975
#define ID_NEXT_BACKGROUND          32982
#define ID_PREV_BACKGROUND          32983
#define ID_VIEW_NOTHING             32988
#define ID_EXTEND_SELECTION_BACK    33034   // Shift+Up
#define ID_EXTEND_SELECTION_FORWARD 33035   // Shift+Down
#define ID_KEY_SHIFT_LEFT           33036
#define ID_KEY_SHIFT_RIGHT          33037
#define ID_ESCAPE                   33084
#define ID_ARTICLE_COPY             33379   // Ctrl+C
#define ID_ARTICLE_PASTE            33380   // Ctrl+V
#define ID_ARTICLE_CUT              33381   // Ctrl+X
#define ID_WIDEN_PAGE               33397
#define ID_NARROW_PAGE              33399
#define ID_VIEW_NEXT_PAGE           33404
#define ID_VIEW_PREV_PAGE           33405
#define ID_PRESET                   33408
#define ID_UPDATE_CHECK             33410
#define ID_RANDOM_VERTICAL_BAR      33413
#define ID_RANDOM_HORIZONTAL_BAR    33415
#define ID_MARK                     33420
#define ID_COMMENT                  33421
