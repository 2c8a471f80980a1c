// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDI_PROGRAM 128
#define IDI_WIZARD 301

// Dialog templates of the setup wizard and its licence dialog.
#define IDD_FINISH 101
#define IDD_WELCOME 102
#define IDD_LICENSE 104
#define IDD_DESTINATION 107

// Controls of the licence dialog.
#define IDC_LICENSE_TEXT 1010
#define IDC_LICENSE_QUESTION 1011
#define IDC_LICENSE_WARNING 1012
#define IDC_LICENSE_READ 1013
#define IDC_LICENSE_PAGEDOWN 1014
#define IDC_ACCEPT 101
#define IDC_REJECT 102

// Controls of the destination page.
#define IDC_DEST_BROWSE 1001
#define IDC_DEST_FOLDER 1024
