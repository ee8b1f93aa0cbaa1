#pragma once
// Dialog templates and control IDs of the dialogs (numbers fixed by the dialogs' code).
// Some numbers repeat across dialogs (1019, 1040, 1075 ...): each name says its dialog.
#define IDD_MAIN            102
#define IDD_CAMERA          103
#define IDD_BUSY            104
#define IDD_SCENE_WARNINGS  111
#define IDB_SWITCH_ON       109
#define IDB_SWITCH_OFF      110

// Main dialog (102)
#define IDC_MAIN_BACKUP_AND_CHECK   1000
#define IDC_MAIN_REMEMBER           1001
#define IDC_MAIN_SAVE_SCENE         1002
#define IDC_MAIN_KEEP_WORKING       1003
#define IDC_MAIN_ANALYSE            1004
#define IDC_MAIN_SUBMIT             1005
#define IDC_MAIN_CAMERAS            1006
#define IDC_MAIN_CORONA_PASS_UNIT   1012
#define IDC_MAIN_EDIT_CAMERAS       1013
#define IDC_MAIN_WARNINGS           1019
// The warnings list's context menu
#define IDM_WARNINGS_LIST_COPY       1160
#define IDM_WARNINGS_LIST_SELECT_ALL 1161
#define IDC_MAIN_INVERT_CHECKS      1028
#define IDC_MAIN_CHECK_ALL          1029
#define IDC_MAIN_MODE_NONE          1030
#define IDC_MAIN_MODE_BLOCKS        1031
#define IDC_MAIN_MODE_DIST          1032
#define IDC_MAIN_MODE_DIST_PRO      1033
#define IDC_MAIN_SCENE_NAME         1036
#define IDC_MAIN_AO_SUBDIVS         1037
#define IDC_MAIN_GAMMA              1039
#define IDC_MAIN_AO_RADIUS          1040
#define IDC_MAIN_CHANNEL_COLOR      1043
#define IDC_MAIN_CHANNEL_AO         1044
#define IDC_MAIN_CORONA_NOISE       1045
#define IDC_MAIN_AO_SUBDIVS_SPIN    1046
#define IDC_MAIN_CORONA_TIME        1047
#define IDC_MAIN_GAMMA_SPIN         1048
#define IDC_MAIN_AO_RADIUS_SPIN     1049
#define IDC_MAIN_CHANNEL_MTL        1051
#define IDC_MAIN_CORONA_FRAME       1052
#define IDC_MAIN_CHANNEL_PSD        1053
#define IDC_MAIN_CORONA_PASSES      1054
#define IDC_MAIN_GI_SIZE_LABEL      1055
#define IDC_MAIN_CHANNEL_GI         1056
#define IDC_MAIN_GI_SIZE            1057
#define IDC_MAIN_CORONA_NOISE_LABEL 1058
#define IDC_MAIN_CORONA_NOISE_UNIT  1059
#define IDC_MAIN_GAMMA_LABEL        1060
#define IDC_MAIN_CORONA_PASS_LABEL  1061
#define IDC_MAIN_CORONA_TIME_UNIT   1063
#define IDC_MAIN_CORONA_TIME_LABEL  1064
#define IDC_MAIN_AO_RADIUS_LABEL    1066
#define IDC_MAIN_AO_SUBDIVS_LABEL   1067
#define IDC_MAIN_AO_RADIUS_UNIT     1068
#define IDC_MAIN_NO_CORONA_TEXT     1071
#define IDC_MAIN_MACHINES           1075
#define IDC_MAIN_MACHINES_SPIN      1076
#define IDC_MAIN_CORONA_TIME_SPIN   1147
#define IDC_MAIN_CORONA_NOISE_SPIN  1148
#define IDC_MAIN_CORONA_PASS_SPIN   1154
// Frames and labels the code only moves along with the Corona row.
#define IDC_MAIN_GAMMA_FRAME        1101
#define IDC_MAIN_MACHINES_LABEL     1102
#define IDC_MAIN_SCENE_LABEL        1103
#define IDC_MAIN_CAMERA_FRAME       1104
#define IDC_MAIN_WARNING_FRAME      1105
#define IDC_MAIN_MODE_FRAME         1106
#define IDC_MAIN_CHANNEL_FRAME      1107
#define IDC_MAIN_OPTIONS_FRAME      1108

// Camera dialog (103)
#define IDC_CAMERA_BACKGROUND       103
#define IDC_CAMERA_OK               1014
#define IDC_CAMERA_WIDTH            1015
#define IDC_CAMERA_HEIGHT           1016
#define IDC_CAMERA_FRAME            1017
#define IDC_CAMERA_FORMAT           1018
#define IDC_CAMERA_PANORAMA         1019
#define IDC_CAMERA_RENDER_NAME      1020
#define IDC_CAMERA_RATIO            1040
#define IDC_CAMERA_RATIO_SPINNER    1041
#define IDC_CAMERA_RATIO_LOCK       1042
#define IDC_CAMERA_ALL_HINT_1       1069
#define IDC_CAMERA_RENDER_NAME_LABEL 1070
#define IDC_CAMERA_PANORAMA_ON      1072
#define IDC_CAMERA_FRAME_ON         1073
#define IDC_CAMERA_FORMAT_ON        1074
#define IDC_CAMERA_SIZE_ON          1075
#define IDC_CAMERA_SIZE_OFF         1076
#define IDC_CAMERA_FRAME_OFF        1077
#define IDC_CAMERA_PANORAMA_OFF     1078
#define IDC_CAMERA_FORMAT_OFF       1079
#define IDC_CAMERA_ALL_HINT_2       1080

// Scene warnings dialog (111)
#define IDC_WARNINGS_CLOSE          1078
#define IDC_WARNINGS_INTRO          1080
#define IDC_WARNINGS_LIST           1081

// Busy dialog (104)
#define IDC_BUSY_TEXT               1090
#define IDC_BUSY_PROGRESS           1091

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
