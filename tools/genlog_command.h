// What genlog's usage and --help say: its options in one table.
#pragma once

#include "tools/command_help.h"

namespace zp::genlog {

const tools::CommandPage& commandPage();

}  // namespace zp::genlog
