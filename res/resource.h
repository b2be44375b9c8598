// Resource and control ids of the program's dialogs.
#pragma once

// Dialogs and the icon
#define IDD_RV4417TEST_DIALOG 102
#define IDR_MAINFRAME 128
#define IDD_PRINTER 129
#define IDD_OTHER 130
#define IDD_BARCODE 131
#define IDD_CARD 132
#define IDD_KEYBOARD 134

// Main dialog
#define IDC_TAB 1000

// Printer page
#define IDC_RECV 1001
#define IDC_SEND_TEXT 1003
#define IDC_SEND_HEX 1004
#define IDC_SEND 1005
#define IDC_SEND_FILE 1006
#define IDC_CLEAR_RECV 1007
#define IDC_CLEAR_SEND 1008
#define IDC_RECV_HEX 1009
#define IDC_AUTO_SEND 1010
#define IDC_INTERVAL 1016

// Card page (its receive box is IDC_RECV too)
#define IDC_TRACK 1008
#define IDC_CARD_HEX 1012
#define IDC_AUTO_RECV_SWITCH 1018

// Barcode page (its text box is IDC_RECV too)
#define IDC_SCAN 1010
#define IDC_CLEAR 1011
#define IDC_CANCEL_SCAN 1012

// KeyBoard page (its "Clear" is IDC_CLEAR too)
#define IDC_TYPED 1013
#define IDC_KEY_NAME 1015

// Other page
#define IDC_CAMERA 1017
#define IDC_POWER_GAUGE 1019
#define IDC_BACK_LIGHT 1020
#define IDC_LINK_CONFIG 1021
#define IDC_RADIO_PROBE 1022
