// Control ids of the runner's dialog templates, shared by the resource script and the
// dialog code.
#pragma once

// "PW_DIALOG"
#define IDC_PW_EDIT 101
#define IDC_PW_LABEL 4
#define IDC_PW_OK 102
#define IDC_PW_CANCEL 103

// "SETUP_DIALOG"
#define IDC_SETUP_ICON 1
#define IDC_SETUP_SEPARATOR 2
#define IDC_SETUP_NOTICE 3
#define IDC_SETUP_STATUS 4
#define IDC_SETUP_VERSION 5
#define IDC_SETUP_MOUSE 10
#define IDC_SETUP_MENU 11
#define IDC_SETUP_KEYS 12
#define IDC_SETUP_SOUND 13
#define IDC_SETUP_MIDI 14
