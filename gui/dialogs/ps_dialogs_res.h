#ifndef PS_DIALOGS_RES_H
#define PS_DIALOGS_RES_H
// Resource and control IDs of the small dialogs, named after their controls.
// Dialog resources are numbered from 2100, controls from 2001; a control's ID
// only needs to be unique within its dialog, so shared names share a value.

#define IDC_BTNOK 2001
#define IDC_BTNCANCEL 2002

#define IDD_PROGRESS 2100
#define IDC_LBLFILENAME 2101
#define IDC_LBLPERCENTAGE 2102
#define IDC_PBARFILES 2103

#define IDD_QUERYSP4 2200
#define IDC_LABEL1 2201
#define IDC_RGRPWHATTODO 2202
// The radio buttons of rgrpWhatToDo follow the group box in this order.
#define IDC_RGRPWHATTODO_ITEM0 2203
#define IDC_RGRPWHATTODO_ITEM1 2204
#define IDC_RGRPWHATTODO_ITEM2 2205

#define IDD_ABOUT 2300
#define IDC_PANEL1 2301
#define IDC_IMGICON 2302
#define IDC_LBLAPPTITLE 2303
#define IDC_LBLVERSION 2304
#define IDC_LBLEMAIL 2305
#define IDC_URLEMAIL 2306
#define IDC_LBLWWW 2307
#define IDC_URLWEBPAGE 2308

// The context menu of a hyperlink label.
#define IDM_URLLABEL 2400
#define IDM_OPENLOCATION 2401
#define IDM_COPYLINKLOCATION 2402

// The program icon's resource name (the first icon of the program, which the
// shell shows for it).
#define PS_MAINICON "MAINICON"

#endif
