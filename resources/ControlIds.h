#pragma once
// Dialog templates and control IDs of the dialogs (numbers fixed by the dialogs' code).
#define IDD_MAIN            102
#define IDD_CAMERA          103
#define IDD_BUSY            104
#define IDD_SCENE_WARNINGS  111
#define IDB_SWITCH_ON       109
#define IDB_SWITCH_OFF      110
