// Resource and control numbers, shared by the resource script and the code.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_TOLVANECONFIG_DIALOG 102
#define IDR_MAINFRAME 128
#define IDB_PICTURE 129

#define IDC_GOLF_COURSES 1000
#define IDC_PARKS 1001
#define IDC_MINOR_ROADS 1002
#define IDC_MAJOR_ROADS 1003
#define IDC_UT 1005
#define IDC_FLOAT_PLANES 1006
#define IDC_CEMETARIES 1007
#define IDC_HELICOPTERS 1008
#define IDC_CRUISE_SHIP 1009
#define IDC_BOATS 1010
#define IDC_RAILROADS 1011

#define IDM_ABOUTBOX 0x0010
