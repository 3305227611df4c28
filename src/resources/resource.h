// Resource ids of BRISKARN, shared by the resource script and the program.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_BRISKARN_DIALOG 102
#define IDR_MAINFRAME 128
#define IDD_BUTTONS_DIALOG 129

#define IDC_EDIT_STATUS 1000
#define IDC_EDIT_X 1001
#define IDC_EDIT_Y 1002
#define IDC_EDIT_Z 1003
#define IDC_EDIT_POV 1004
#define IDC_BUTTON1 1005
#define IDC_BUTTON2 1006
#define IDC_BUTTON3 1007
#define IDC_BUTTON4 1008
#define IDC_BUTTON5 1009
#define IDC_BUTTON6 1010
#define IDC_BUTTON7 1011
#define IDC_BUTTON8 1012
#define IDC_BUTTON9 1013
#define IDC_BUTTON10 1014
#define IDC_KEYBOARD_POLLING 1015
#define IDC_JOYSTICK_POLLING 1016
#define IDC_SETUP 1017
#define IDC_GAMEMAX 1018
#define IDC_CALLBACK_COUNT 1019
#define IDC_ENABLE 1020
#define IDC_DIJOY_COUNT 1021

// The button assignment dialog: an edit and its spin for each virtual button.
#define IDC_EDIT_A1 1000
#define IDC_EDIT_A2 1001
#define IDC_EDIT_B1 1002
#define IDC_EDIT_B2 1003
#define IDC_SPIN1 1021
#define IDC_SPIN2 1022
#define IDC_SPIN3 1023
#define IDC_SPIN4 1024

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
