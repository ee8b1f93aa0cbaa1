#pragma once
// String table IDs of the language resource files (resources/lang/*.rc). Each file holds every
// ID below; the texts are the artist's, the numbers are fixed.

// Plug-in shell and menu
#define IDS_LIB_DESCRIPTION        1
#define IDS_CLASS_CATEGORY         2
#define IDS_CLASS_NAME             3
#define IDS_ACTION_SUBMIT          6   // table name, menu text of action 1497
#define IDS_ACTION_ABOUT           12  // menu text of action 1498
#define IDS_ABOUT_TEXT             13
#define IDS_ABOUT_CAPTION          30
#define IDS_MENU_TITLE             31
#define IDS_LANGUAGE_MARKER        57  // "0" in the English table, "1" in the Chinese one

// Output formats of the camera dialog's list (positions 0 to 13: 9, 8, 10, 29, 20..28, 104)
#define IDS_FORMAT_PNG             8
#define IDS_FORMAT_JPG             9
#define IDS_FORMAT_TGA             10
#define IDS_FORMAT_BMP             20
#define IDS_FORMAT_EXR             21
#define IDS_FORMAT_HDR             22
#define IDS_FORMAT_RLA             23
#define IDS_FORMAT_RPF             24
#define IDS_FORMAT_DDS             25
#define IDS_FORMAT_PSD             26
#define IDS_FORMAT_VRIMG           27
#define IDS_FORMAT_TIF             28
#define IDS_FORMAT_JPEG            29
#define IDS_FORMAT_CXR             104

// Camera table column headers and panorama values
#define IDS_COLUMN_CAMERA          32
#define IDS_COLUMN_HEIGHT          33
#define IDS_COLUMN_WIDTH           34
#define IDS_COLUMN_FRAME           35
#define IDS_COLUMN_FORMAT          36
#define IDS_COLUMN_RENDER_NAME     66
#define IDS_COLUMN_PANORAMA        83
#define IDS_PANORAMA_YES           84
#define IDS_PANORAMA_NO            85

// Message box texts and captions
#define IDS_ANALYSIS_SCRIPT_FAILED 37
#define IDS_CAMERA_NAMES_INVALID   38
#define IDS_TASK_FILE_FAILED       42
#define IDS_CLIENT_UNREACHABLE     43
#define IDS_CLIENT_VERSION_MISMATCH 46
#define IDS_CLIENT_NOT_SKETCH      47
#define IDS_CLIENT_NO_SCENE        48
#define IDS_CAPTION_ERROR          49
#define IDS_CLIENT_BAD_SUFFIX      50
#define IDS_CLIENT_DUPLICATE       51
#define IDS_CLIENT_INTERNAL        52
#define IDS_CLIENT_REPLY_INVALID   53
#define IDS_CLIENT_NOT_MAX_PROJECT 54
#define IDS_CLIENT_NO_TASK_FILE    55
#define IDS_CLIENT_TASK_UNREADABLE 56
#define IDS_VERSION_TOO_OLD        58
#define IDS_NO_CAMERAS_CONTINUE    59
#define IDS_FILE_MISSING_PREFIX    60
#define IDS_FILE_SAME_NAME_PREFIX  61
#define IDS_MISSING_FILES_HEADER   62
#define IDS_SAME_FILES_HEADER      63
#define IDS_NO_SCENE_FILE          64
#define IDS_RENAME_INVALID_CHARS   67
#define IDS_CAPTION_NOTICE         68
#define IDS_RENAME_EMPTY           69
#define IDS_RENAME_SPACES          70
#define IDS_RENAME_TOO_LONG        71
#define IDS_NO_CAMERA_CHECKED      72
#define IDS_CORONA_BLOCK_WARNING   73
#define IDS_CORONA_NOT_LIMITED     74
#define IDS_REGION_WARNING         75
#define IDS_REGION_NO_BLOCKS       76
#define IDS_ERROR_CODE_107         77
#define IDS_WARNINGS_HEADER        78
#define IDS_SCENE_NAME_INVALID     79
#define IDS_REFERENCE_CYRILLIC     80
#define IDS_CLIENT_NOT_INSTALLED   81
#define IDS_CORONA_BLOCK_INFO      87
#define IDS_RENDERER_MISSING       88
#define IDS_DUPLICATE_CAMERAS_HEAD 89
#define IDS_DUPLICATE_CAMERAS_TAIL 90
#define IDS_CORONA_NO_BLOCKS       91
#define IDS_MTL_NO_BLOCKS          92
#define IDS_TIP_REMEMBER           93
#define IDS_NO_CORONA_LIMITS       94
#define IDS_IMAGE_SAMPLER_3        95
#define IDS_TIFF_OUTPUT            96
#define IDS_TIP_SAVE_SCENE         97
#define IDS_SUBMIT_ACCEPTED        98
#define IDS_REFERENCE_ILLEGAL      99
#define IDS_REFERENCE_ILLEGAL_ASK  100

// Scene warnings dialog (template 111)
#define IDS_WARNINGS_TITLE         101
#define IDS_WARNINGS_INTRO         102
#define IDS_WARNINGS_CLOSE         103

// Busy dialog steps (template 104)
#define IDS_BUSY_CHECKING_SCENE    105
#define IDS_BUSY_SAVING_SCENE      106
#define IDS_BUSY_CHECKING_VIRUSES  107
#define IDS_BUSY_PACKING           108  // "%s" receives the archive size so far
#define IDS_BUSY_WRITING_TASK      109
#define IDS_BUSY_SENDING           110
#define IDS_BUSY_TITLE             111
#define IDS_SCENE_PATH_TOO_LONG    113

// Packing refused: nothing is sent to the client ("%s" receives the path or the exit code)
#define IDS_SEVENZIP_NOT_STARTED   120  // "%s": the 7-Zip program's path
#define IDS_SEVENZIP_FAILED        121  // "%s": 7-Zip's exit code
#define IDS_SEVENZIP_NO_ARCHIVE    122
#define IDS_CACHE_FOLDER_FAILED    123  // "%s": the task's cache folder
#define IDS_BUSY_PACKING_PERCENT   124  // "%d" receives 7-Zip's percentage
#define IDS_SEVENZIP_SCENE_UNREAD  125
#define IDS_BUSY_SENDING_FINAL     126  // the request is leaving: Cancel no longer stops it
#define IDS_REPLACE_OTHER_SCENE    127  // "%s": the file the typed name would replace
#define IDS_CLIENT_UNCONFIRMED     133  // "%s", "%s": the kept archive and task file
#define IDS_CLIENT_UNKNOWN_CODE    150  // "%s": the client's code; "%s", "%s": archive and task file
#define IDS_CLIENT_NO_RESULT_CODE  151  // "%s", "%s": the kept archive and task file

// Working on while the scene is packed and sent
#define IDS_SUBMISSION_RUNNING     134  // the menu during a run: its window is brought forward
#define IDS_QUIT_DURING_SUBMISSION 135  // 3ds Max is asked to quit while the scene is packed
#define IDS_SNAPSHOT_NO_ROOM       136  // "%s": the cache folder that has no room for the copy
#define IDS_SNAPSHOT_FAILED        137  // "%s": the copy that could not be made
#define IDS_TIP_KEEP_WORKING       138

// 3ds Max stayed busy with an operation of its own and never took the submission's call
#define IDS_HOST_BUSY_STOPPED      140  // "%s": what 3ds Max is busy with (141 to 145)
#define IDS_HOST_BUSY_SAVING       141
#define IDS_HOST_BUSY_OPENING      142
#define IDS_HOST_BUSY_RESETTING    143
#define IDS_HOST_BUSY_RENDERING    144
#define IDS_HOST_BUSY_OTHER        145  // no operation of its own was under way

// The warnings list's context menu
#define IDS_WARNINGS_LIST_COPY       160
#define IDS_WARNINGS_LIST_SELECT_ALL 161

// Submitting from MAXScript: what lastMessage() says when the run could not start or is still going
#define IDS_SCRIPT_BUSY            170
#define IDS_SCRIPT_BAD_ARGUMENT    171  // "%s": the argument's name
#define IDS_SCRIPT_UNKNOWN_CAMERA  172  // "%s": the name given
#define IDS_SCRIPT_REFERENCE_NAMES 173
#define IDS_SCRIPT_RUNNING         174
#define IDS_SCRIPT_NO_RUN          175
#define IDS_SCRIPT_ANALYSED        176
#define IDS_SCRIPT_CORONA_LIMITS   177  // analyse(): a Corona scene that limits nothing
#define IDS_SCRIPT_RUN_UNDER_WAY   178  // the menu while a script's submission runs
