// The server end's configuration step: System.ini in the install folder
// completed from the choices of the wizard's pages, key by key, with the
// script maps of the chosen script groups and the removal of the others.
#pragma once

#include <string>

#include "quorvale/setup/ini_helpers.h"
#include "quorvale/setup/server_choices.h"
#include "quorvale/setup/step_reporter.h"

namespace quorvale::setup {

// "C:\winnt" when the Windows name is "Windows 2000" in any letter case,
// else "C:\WINDOWS", whatever folder Windows really lies in.
std::string ScriptMapWindowsFolder(const std::string& os_name);

// The step "正在修改配置文件...": bar 5300, then the keys in write order,
// widening the bar to 5400 ... 5900 on the way. Every write is resumed past.
void CompleteSystemIni(StepReporter& reporter, IniHelpers& ini, const ServerChoices& choices);

}  // namespace quorvale::setup
