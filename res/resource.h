// Resource and command numbers of the program. They are fixed: the menu,
// the dialog template and the program's own messages all use them.
#pragma once

#define IDM_MAINMENU 102
#define IDI_MAINICON 103
#define IDA_SHORTCUTS 104

// Controls of the main dialog.
#define IDC_FRAMENUMBER 1000
#define IDC_SAVEFRAME 1003

// Commands.
#define CMD_EXIT 2
#define CMD_OPEN 40001
#define CMD_PREV 40002
#define CMD_NEXT 40003
#define CMD_BACK10 40004
#define CMD_FORWARD10 40005
#define CMD_FIRST 40006
#define CMD_LAST 40007
#define CMD_FORWARD100 40008
#define CMD_BACK100 40009
#define CMD_OPENPATH 40010
#define CMD_FONTSELECT 40011
#define CMD_FONTLOAD 40012
#define CMD_FONTSAVE 40013
#define CMD_NEW 40014
#define CMD_START 40015
#define CMD_SPEED1 40016
#define CMD_STOP 40018
#define CMD_SPEED2 40019
#define CMD_SPEED3 40020
#define CMD_SPEED5 40021
#define CMD_SPEED4 40022
#define CMD_SPEED6 40023
#define CMD_SLOWLABEL 40024
#define CMD_FASTLABEL 40025
#define CMD_COPYTONEXT 40027
#define CMD_EXPORT 40028
#define CMD_MODEFRAMES 40029
#define CMD_MODEALLINONE 40030
#define CMD_EXPAND 40031
#define CMD_PENCOLOUR 40032
#define CMD_COLOURLABEL 40033
#define CMD_BACKCOLOUR 40034
#define CMD_COLOURON 40035
#define CMD_COLOUROFF 40036
#define CMD_SAVECOLOURS 40037
#define CMD_SOUNDSELECT 40038
#define CMD_INSERT 40039
#define CMD_DELETE 40040
#define CMD_LISTEN 40041
#define CMD_COPY 40042
#define CMD_PASTE 40043
#define CMD_EXPORTHTML 40044
#define CMD_EXPORTGIF 40045
#define CMD_UNDO 40046
#define CMD_REDO 40047
#define CMD_CHECK 40048
// Sent by F5: the start or the stop command, whichever playback needs.
#define CMD_STARTSTOP 40049
#define CMD_VERSION 65535
