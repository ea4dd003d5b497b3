#pragma once

#include "CliArguments.h"
#include "CliSession.h"

#include <string>
#include <vector>

namespace rf {

// Exit codes of the command-line tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitDeviceFailed = 1;
inline constexpr int kExitBadArguments = 2;
inline constexpr int kExitCannotStart = 3;
inline constexpr int kExitInterrupted = 130;

// The status page's search cycle for the given seconds, then every stored device and every announced one.
int RunSearch(CliSession& session, const CliArguments& arguments);
// The PC's usable adapters, as the system tool page lists them.
int RunAdapters(CliSession& session, const CliArguments& arguments);
// show: a device's whole stored record. configure: the configuration dialog's Save from the command line.
int RunShow(CliSession& session, const CliArguments& arguments);
int RunConfigure(CliSession& session, const CliArguments& arguments);
// scan: the bridge wizard's access-point scan through a device. join: the bridge wizard from the command
// line (scan, preset from the chosen access point, the options over it, SetBridge).
int RunScan(CliSession& session, const CliArguments& arguments);
int RunJoin(CliSession& session, const CliArguments& arguments);
// reboot, reset, rename, set-ip, transparent-bridge: learn the devices, send, wait for the answers; with
// --dry-run, print what would be sent instead. Devices not found have their own line and exit code 1.
int RunDeviceCommand(CliSession& session, const CliArguments& arguments);
// upgrade: the upgrade dialog's checks and run without a window, with the firmware server beside us.
int RunUpgrade(CliSession& session, const CliArguments& arguments);

} // namespace rf
