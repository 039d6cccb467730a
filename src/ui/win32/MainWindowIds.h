#pragma once
// Resource IDs of the main window: one per control, named after the control it is. Each page
// of the main window, and each tab of its options page, numbers its controls within a range of
// its own; the window's control table checks every control against its page's range, so a
// control placed on a page shows and hides with it.

#define IDD_FRMMAIN 100
#define IDR_MAINMENU 101
#define IDD_FRMDELETE 102

/* The pages' ranges, first and last ID. */
#define IDC_HOME_PAGE_FIRST 1100
#define IDC_HOME_PAGE_LAST 1199
#define IDC_SCAN_PAGE_FIRST 1200
#define IDC_SCAN_PAGE_LAST 1299
#define IDC_RESULTS_PAGE_FIRST 1300
#define IDC_RESULTS_PAGE_LAST 1399
#define IDC_OPTIONS_PAGE_FIRST 1400
#define IDC_OPTIONS_PAGE_LAST 1499
/* The options page's tabs, within its range; below the first tab, the tab strip and frames. */
#define IDC_SCAN_OPTIONS_TAB_FIRST 1410
#define IDC_SCAN_OPTIONS_TAB_LAST 1439
#define IDC_PROTECTION_TAB_FIRST 1440
#define IDC_PROTECTION_TAB_LAST 1469
#define IDC_SCHEDULE_TAB_FIRST 1470
#define IDC_SCHEDULE_TAB_LAST 1489
#define IDC_AUTO_UPDATE_TAB_FIRST 1490
#define IDC_AUTO_UPDATE_TAB_LAST 1499

/* The page buttons and the pages, outside the ranges */
#define IDC_cmdStatus 1001
#define IDC_cmdScan 1002
#define IDC_cmdResults 1003
#define IDC_cmdSettings 1004
#define IDC_cmdUpdate 1005
#define IDC_cmdHijack 1006
#define IDC_cmdLog 1007
#define IDC_frmStatus 1010
#define IDC_frmScan 1011
#define IDC_frmResults 1012
#define IDC_frmOptions 1013

/* Home page */
#define IDC_lblDefCount 1101
#define IDC_lblVersion 1102
#define IDC_lblDefVersion 1103
#define IDC_lblDefRemoved 1104
#define IDC_lblLastScan 1105
#define IDC_lblLastFullScan 1106
#define IDC_chkAutoProtect 1107
#define IDC_chkHomePage 1108
#define IDC_lblViewLogFile 1109
#define IDC_Label22 1110
#define IDC_cmdWebsite 1111
#define IDC_Home_Command3 1112
#define IDC_Home_cmdMainScan1 1113
#define IDC_Home_Command6 1114
#define IDC_Home_Command7 1115
#define IDC_Home_Command1 1116
#define IDC_Home_Command5 1117
#define IDC_lblUnsignedAllowed 1118
#define IDC_capDefCount 1151
#define IDC_capVersion 1152
#define IDC_capDefVersion 1153
#define IDC_capDefRemoved 1154
#define IDC_capLastScan 1155
#define IDC_capLastFullScan 1156
#define IDC_capAutoProtect 1157
#define IDC_capHomePage 1158

/* Scan page */
#define IDC_optScan0 1200
#define IDC_optScan1 1201
#define IDC_optScan2 1202
#define IDC_optScan3 1203
#define IDC_cmdScanNow 1210
#define IDC_cmdPause 1211
#define IDC_cmdStop 1212
#define IDC_lblPause 1213
#define IDC_lblStop 1214
#define IDC_lblStatus 1220
#define IDC_lblPercentageCompleted 1221
#define IDC_pb1 1222
#define IDC_pb2 1223
#define IDC_pbgMain 1224
#define IDC_lblMemoryInspected 1230
#define IDC_lblRegistryInspected 1231
#define IDC_lblFilesFolderInspected 1232
#define IDC_lblSoftwareFound 1233
#define IDC_lbltracesFound 1234
#define IDC_capMemoryInspected 1240
#define IDC_capRegistryInspected 1241
#define IDC_capFilesFolderInspected 1242
#define IDC_capSoftwareFound 1243
#define IDC_captracesFound 1244
#define IDC_lvwSpywareFound 1250

/* Results page */
#define IDC_lvwResults 1300
#define IDC_lblRemovePicSoftwareFound 1301
#define IDC_capRemovePicSoftwareFound 1302
#define IDC_cmdSelectAll 1303
#define IDC_Command4 1304
#define IDC_cmdExclude 1305
#define IDC_lblRemove 1306
#define IDC_lblDeletingPercentageCompleted 1307
#define IDC_lblDeletingCaption 1308
#define IDC_pgbDeleteSpywaresFound 1309
#define IDC_cmdFalsePos 1310
#define IDC_txtFilename 1311
#define IDC_cmdBrowse 1312
#define IDC_cmdSubmit 1313
#define IDC_Label26 1314
#define IDC_capSubmit 1315

/* Options page: the tab strip and the four frames */
#define IDC_TabStrip1 1400
#define IDC_frmView0 1401
#define IDC_frmView1 1402
#define IDC_frmView2 1403
#define IDC_frmView3 1404

/* Options tab 1, "Scan Options" */
#define IDC_chkMakeLog 1410
#define IDC_optScanAllSelectedHardDrive 1411
#define IDC_optScanOnlyKnownSoftwares 1412
#define IDC_lvwHardDrives 1413
#define IDC_capDriveSelection 1414
#define IDC_chkSweepMemory 1415
#define IDC_chkScanRegistry 1416
#define IDC_chkScanCookies 1417
#define IDC_chkSendData 1418
#define IDC_chkRunAtStartup 1419
#define IDC_lblRunAtStart 1420

/* Options tab 2, "Proactive Protection" */
#define IDC_capMemoryShieldGroup 1440
#define IDC_optMemorySheildOn 1441
#define IDC_optMemorySheildOff 1442
#define IDC_capHomePageShieldGroup 1443
#define IDC_optIEHomePageSheildOn 1444
#define IDC_optIEHomePageSheildOff 1445
#define IDC_optAlwaysnotifybeforerestoring 1446
#define IDC_optRestoredefaultwithoutnotification 1447
#define IDC_chkBrowserPolicies 1448

/* Options tab 3, "Schedule" */
#define IDC_chkAutomaticScanYesOrNo 1470
#define IDC_cmbDays 1471
#define IDC_dtpScheduleDate 1472
#define IDC_dtpScheduleTime 1473
#define IDC_chkAutoDel 1474
#define IDC_capDays 1475
#define IDC_capScheduleDate 1476
#define IDC_capScheduleTime 1477
#define IDC_CmdProceed 1478
#define IDC_cmdDefaultSetting 1479

/* Options tab 4, "Auto Update" */
#define IDC_chkAutomaticUpdate 1490
#define IDC_lblLastUpdate 1491
#define IDC_cmdLiveUpdate 1492

/* Menus: the entry's index is added to the array's base. */
#define IDM_mnuFileItem 2000
#define IDM_mnuQuarItem 2100
#define IDM_mnuSettingsItem 2200
#define IDM_mnuLanguageItem 2300
#define IDM_mnuHelpItem 2400
#define IDM_mnuAboutItem 2500

/* "Delete Failed" */
#define IDC_lblDeleteAdvice 3001
#define IDC_lstProblem 3002
#define IDC_lblDeleteSafeMode 3003
#define IDC_lblDeleteRestart 3004
#define IDC_cmdDeleteOk 3005
#define IDC_cmdCopyList 3006

/* Live Update's progress window */
#define IDC_picArrow 3101
#define IDC_lblProduct 3102
#define IDC_txtStatus 3103
#define IDC_cmdDownloadCancel 3104

/* The update notice */
#define IDC_lblUpdateInfo 3201
#define IDC_cmdUpdateSuccesfullOK 3202

/* The running-program alert */
#define IDC_lblAlertFileName 3301
#define IDC_lblAlertCompanyName 3302
#define IDC_cmdAlertStop 3303
#define IDC_cmdAlertAllow 3304
#define IDC_lblAlertQuestion 3305

/* The home-page alert */
#define IDC_lblFrmHomePageProductName 3401
#define IDC_lblHomePageInfo 3402

/* The tray menu */
#define IDC_lblName 3501
#define IDC_mnuMaxmimaize 3502
#define IDC_mnuClose 3503
#define IDC_lblMenuClose 3504

/* About */
#define IDC_lblAboutProduct 3601
#define IDC_lblAboutCompany 3602
#define IDC_lblAboutVersion 3603

/* The splash */
#define IDC_imgSplash 3701
#define IDC_lblSplashProduct 3702
#define IDC_lblSplashCompany 3703
#define IDC_lblSplashWebsite 3704

/* The language window */
#define IDC_Combo1 3802
#define IDC_Command2 3803
#define IDC_Command1 3804
#define IDC_Command3 3805
