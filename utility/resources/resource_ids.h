// The utility's resource ids: dialogs, menus and commands, icons and bitmaps, and the control
// ids of the page templates.
#pragma once

#include "kv/jobs/string_table.h"

namespace kv::diag::res {

// String ids (loadString): the one string table the pages share with the jobs, by the page that
// shows them (res::str::general::kMacAddress, res::str::tray::kShowTrayIcon, ...).
namespace str = jobs::ids;

// Dialog templates (dialog_templates.h).
inline constexpr int kDialogVlan = 107;
inline constexpr int kDialogGeneral = 129;
inline constexpr int kDialogAdvancedSetting = 147;
inline constexpr int kDialogDriver = 148;
inline constexpr int kDialogStatistics = 151;
inline constexpr int kDialogCable = 160;
inline constexpr int kDialogDiagnostics = 161;
inline constexpr int kDialogSendReceive = 162;
inline constexpr int kDialogWakeOnLan = 163;
inline constexpr int kDialogGreenFeature = 183;

// Menu 134 and its commands.
inline constexpr int kMenuNics = 134;
inline constexpr int kCmdShowTrayIcon = 32771;
inline constexpr int kCmdStartUpLaunch = 32772;
inline constexpr int kCmdLaunch = 32782;
inline constexpr int kCmdExit = 32784;
inline constexpr int kCmdRefreshNicList = 32788;
// The adapter tree's menu adds this one to menu 134's commands.
inline constexpr int kCmdSaveReport = 32790;

// Icons.
inline constexpr int kIconProgram = 128;
inline constexpr int kIconAdapter = 131;
inline constexpr int kIconTrayFirstFrame = 301;
inline constexpr int kIconTrayLastFrame = 305;

// Bitmaps: the tree sheet's two default images (16 pixels wide each) and the 32 x 32 page
// icons; pixels of kBitmapMaskColour are transparent.
inline constexpr int kBitmapTreeImages = 136;
inline constexpr int kBitmapGeneral = 159;
inline constexpr int kBitmapCable = 165;
inline constexpr int kBitmapDriver = 168;
// The pages of the "all pages" mode.
inline constexpr int kBitmapDiagnostics = 170;
inline constexpr int kBitmapSendReceive = 171;
inline constexpr int kBitmapStatistics = 172;
inline constexpr int kBitmapWakeOnLan = 173;
inline constexpr int kBitmapAdvancedSetting = 174;
inline constexpr int kBitmapVlan = 175;
inline constexpr int kBitmapGreenFeature = 176;
inline constexpr int kBitmapMaskRed = 0, kBitmapMaskGreen = 128, kBitmapMaskBlue = 128;

// Controls of the page templates.
namespace ctl {
inline constexpr int kGeneralList = 1001;
inline constexpr int kVlanList = 1002;
inline constexpr int kVlanAdd = 1003;
inline constexpr int kVlanDelete = 1004;
inline constexpr int kVlanModifyVid = 1006;
inline constexpr int kSettingList = 1007;
inline constexpr int kSettingModify = 1008;
inline constexpr int kSettingPlaceholder = 1009;
inline constexpr int kSettingNumber = 1010;
inline constexpr int kSettingUpDown = 1011;
inline constexpr int kSettingText = 1012;
inline constexpr int kSettingHasValue = 1018;
inline constexpr int kSettingNotPresent = 1019;
inline constexpr int kDriverList = 1022;
inline constexpr int kSettingEnum = 1023;
inline constexpr int kDiagnosticsList = 1024;
inline constexpr int kDiagnosticsLog = 1025;
inline constexpr int kDiagnosticsStart = 1026;
inline constexpr int kDiagnosticsStop = 1027;
inline constexpr int kDiagnosticsRepeat = 1028;
inline constexpr int kSendReceiveInitiator = 1029;
inline constexpr int kSendReceiveResponder = 1030;
inline constexpr int kSendReceiveStart = 1032;
inline constexpr int kSendReceiveStop = 1033;
inline constexpr int kSendReceiveSent = 1034;
inline constexpr int kSendReceiveReceived = 1035;
inline constexpr int kStatisticsList = 1036;
inline constexpr int kCableList = 1037;
inline constexpr int kCableRefresh = 1038;
inline constexpr int kWolByEthernet = 1038;
inline constexpr int kWolByIp = 1039;
inline constexpr int kWolEthernetAddress = 1040;
inline constexpr int kWolByNetBios = 1041;
inline constexpr int kWolNetBiosName = 1042;
inline constexpr int kWolIpAddress = 1043;
inline constexpr int kWolWakeUp = 1044;
inline constexpr int kGreenStatus = 1046;
inline constexpr int kGreenStage = 1047;
inline constexpr int kGreenPower = 1048;
inline constexpr int kGreenEnable = 1049;
inline constexpr int kGreenDisable = 1050;
inline constexpr int kGreenRefresh = 1051;
}  // namespace ctl

// The tree sheet's controls.
inline constexpr int kPageTreeId = 32494;
inline constexpr int kPageFrameId = 0xFFFF;

}  // namespace kv::diag::res
