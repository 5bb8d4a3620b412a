// What logdump's usage, --help and manual page say: its options and operand in one table.
#pragma once

#include "tools/command_help.h"

namespace zp::logdump {

const tools::CommandPage& commandPage();

}  // namespace zp::logdump
